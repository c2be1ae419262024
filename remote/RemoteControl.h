#pragma once
// The guard seen and switched from anywhere, through an MQTT broker, as a
// Home Assistant device.  It learns what the guard does as a GuardEvents
// listener (added to the program's fan-out) and acts on it only through
// GuardAccess, on the window's thread.
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <functional>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "CommandInbox.h"
#include "ConnectionNotes.h"
#include "GuardAccess.h"
#include "MqttConnection.h"
#include "RemoteMessages.h"
#include "RemoteSettings.h"

class QAction;
class QMenu;
class QWidget;

namespace remote {

class RemoteDialog;

class RemoteControl final : public QObject, public GuardEvents {
    Q_OBJECT
public:
    // Where `remote` lines go: the diary's append, connected by the program.
    using DiaryLine = std::function<void(const std::string& what)>;

    explicit RemoteControl(GuardAccess& access, QObject* parent = nullptr);
    // Says "offline" (retained) at a clean exit and lets go of the broker;
    // what was set aside since the last summary gets its line.
    ~RemoteControl() override;
    // The same, for an end that cannot wait for the destructors: returns once
    // the goodbye has left (or after a few seconds).
    void Leave();

    // Keeps the settings file private and connects when a broker is set.
    void Start();
    // Adds "Remote Control…" to `menu` of the main window.
    void AttachTo(QWidget& mainWindow, QMenu& menu);
    void SetDiary(DiaryLine diary) { diary_ = std::move(diary); }
    // Shorter waits for tests and benchmarks; before Start or Apply.
    void SetRetryDelays(const RetryDelays& delays) { connection_.SetRetryDelays(delays); }
    // How long the link must hold again for an outage to be over (a minute).
    void SetOutageOverAfter(std::chrono::milliseconds held) { held_.setInterval(held); }

    const RemoteSettings& Settings() const { return settings_; }
    // Saves the settings and connects with them (or disconnects when the
    // broker is empty).  False and why when the address or the file is not right;
    // nothing is saved then.
    bool Apply(const RemoteSettings& settings, QString* error = nullptr);

    LinkStatus Status() const;
    // A line for the person: the link's state with the broker's address.
    QString StatusLine() const;
    const std::string& Id() const { return id_; }
    // Drawn anew at each start: a copied home, a cloned machine or a stray
    // client under the device's id would otherwise push this one off the
    // broker, and it them, in turn, for good.
    const std::string& ClientId() const { return clientId_; }
    const Topics& TopicNames() const { return topics_; }

    void GuardStarted(CTime at, GuardStartOrigin origin) override;
    void GuardStopped(CTime at) override;
    void PassWillPlay(CTime at, bool soundOrMovie) override;
    void Played(const PlayReport& report) override;
    void QuietHold(CTime until, CTime at) override;
    void WakeUpArmed(CTime wake) override;
    void TimerFailed(CTime at) override;
    void LibraryChanged() override;

public Q_SLOTS:
    // What the audible check found last: nobody can hear Mervo, or somebody can.
    void SetUnheard(bool unheard);
    // When the person is away (seconds since the epoch: from, until), or none.
    void SetAway(std::optional<std::pair<std::int64_t, std::int64_t>> span);
    // Looks at the problem report's count again; every guard event does too.
    void ProblemsMayHaveChanged();
    void OpenDialog();

Q_SIGNALS:
    void StatusChanged(const remote::LinkStatus& status);

private:
    void Connect();
    void KeepDiscovery();
    void KeepButtons();
    void RemoveStaleButtons();
    void KeepGuard(bool on);
    void KeepNext(const std::string& next);
    void KeepAway();
    void KeepLastPlay();
    void LaterRefresh();
    // On libmosquitto's thread: what a subscription brings.
    void Receive(const Incoming& message);
    // The waiting commands, one at a time, the event loop running between.
    void Drain();
    void CarryOutGuard(const std::string& command);
    void ConsiderSummary();
    void WriteSummary();
    void OnStatus(const LinkStatus& status);
    void OnHeld();
    void Note(const std::string& what);

    GuardAccess& access_;
    const std::string id_;
    const std::string clientId_;
    const Topics topics_;
    MqttConnection connection_;
    RemoteSettings settings_;
    QString brokerText_;
    std::optional<QString> settingsError_;
    DiaryLine diary_;
    std::optional<int> problems_;
    std::string next_;
    std::optional<std::pair<std::int64_t, std::int64_t>> away_;
    // This run's last play and its noise's name, told again in the other
    // form when the person changes what is published.
    std::optional<std::pair<PlayReport, std::string>> lastPlay_;
    bool refreshPending_ = false;
    CommandInbox inbox_;
    // The end of the minute whose set-aside commands get one summary line.
    QTimer summary_;
    // The names whose buttons are kept on the broker now.
    std::vector<std::string> buttonNames_;
    bool started_ = false;
    ConnectionNotes notes_;
    // Runs while a link that came back after trouble has to hold.
    QTimer held_;
    // When Home Assistant last said "online", on libmosquitto's thread; -1: never.
    std::atomic<std::int64_t> lastOnlineMs_{-1};
    QPointer<QWidget> mainWindow_;
    QPointer<RemoteDialog> dialog_;
};

}  // namespace remote
