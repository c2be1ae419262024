#pragma once
// The trip features in the running program: the duty record and the diary
// (GuardRecords, told by the guard's events), the resume after a restart,
// "Away from ... until ..." (on duty when the person leaves, off when they
// are back), and the "Guard Again After a Restart", "Mervo's Diary" and
// "Away" items of "&Say Whut?".  It acts on the guard only through
// GuardAccess.
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "AwaySpan.h"
#include "GuardAccess.h"
#include "GuardRecords.h"
#include "Timer.h"

class QAction;
class QMenu;
class QWidget;

namespace trip {

class DiaryWindow;

inline constexpr char kAutostartItem[] = "Guard Again After a Restart";
inline constexpr char kDiaryItem[] = "Mervo's Diary";
inline constexpr char kAwayItem[] = "A&way from \u2026 until \u2026";

class TripModule final : public QObject, private GuardEvents {
    Q_OBJECT
public:
    // `resume`: the program was started with --resume.
    TripModule(GuardAccess& access, bool resume);
    ~TripModule() override;

    // For the program's fan-out of the guard's events.
    GuardEvents& Events() { return *this; }

    // A later start with --resume handed itself over to this program (the
    // autostart entry a moment after a start by hand, or the service
    // manager's unit while this program runs unsupervised): the guard goes
    // back on duty from the record this run found, unless the person has
    // turned it on or off since.
    void ResumeHandedOver();

    // Adds "Guard Again After a Restart", "Mervo's Diary" and "Away from …
    // until …" to `menu` of the main window.
    void AttachTo(QWidget& window, QMenu& menu);
    // Once the usual start-up is over (the window is up, the settings are
    // loaded, no start-up message waits): the guard back on duty if the
    // program was asked to resume and the duty record says it was on, or if
    // the person is away now; off if they came back while it was not running.
    void AfterStartUp();

    // Null until AttachTo.
    QAction* AutostartAction() const;
    QAction* DiaryAction() const;
    QAction* AwayAction() const;
    DiaryWindow* Diary() const;

    // The span set now, if any; setting one (none clears it) writes its file
    // and arms the guard's going on and off.  False, and why, when the file
    // could not be written or removed.
    const std::optional<AwaySpan>& Away() const { return away_; }
    bool SetAway(std::optional<AwaySpan> span, std::string* error = nullptr);
    // Told whenever the span changes, and once at the start.
    void SetAwayListener(std::function<void(const std::optional<AwaySpan>&)> listener) { awayListener_ = std::move(listener); }
    // What wakes the guard at the leaving and the return times.
    platform::TimerWindow& AwayTimer();

private:
    void GuardStarted(CTime at, GuardStartOrigin origin) override;
    void GuardStopped(CTime at) override;
    void Played(const PlayReport& report) override { records_.Played(report); }
    void QuietHold(CTime until, CTime at) override { records_.QuietHold(until, at); }
    void ExtrasRead(const std::vector<std::string>& problems) override { records_.ExtrasRead(problems); }
    void TimerFailed(CTime at) override;

    void Resume(std::optional<CTime> since);
    void ResumeOrForget();
    void SetAutostart(bool on);
    void ShowDiary(QWidget& window);
    void ShowAway(QWidget& window);
    void ArmAway();
    void OnAwayTimer();
    void TellAway();
    void TellAwayTrouble(CTime at, bool personAtWindow);
    void ShowAwayInMenu();
    void DiaryMayHaveChanged();

    class AwayTimerWindow;

    GuardAccess& access_;
    bool resume_;
    bool startedUp_ = false;
    bool startingUp_ = false;
    int guardStarts_ = 0;
    GuardRecords records_;
    // The record a start by hand removed, kept for a --resume handed over
    // later in the run; gone once the guard is turned on or off.
    std::optional<CTime> forgottenSince_;
    bool guardTouched_ = false;
    QPointer<QAction> autostartAction_;
    QPointer<QAction> diaryAction_;
    QPointer<QAction> awayAction_;
    std::optional<AwaySpan> away_;
    std::function<void(const std::optional<AwaySpan>&)> awayListener_;
    std::unique_ptr<AwayTimerWindow> awayTimer_;
    // A stop that follows the guard's timer failing is nobody's choice.
    bool timerFailed_ = false;
    QPointer<DiaryWindow> diary_;
    bool diaryRefreshPending_ = false;
};

}  // namespace trip
