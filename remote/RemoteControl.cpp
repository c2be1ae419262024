#include "RemoteControl.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "BrokerAddress.h"
#include "DeviceId.h"
#include "RemoteDialog.h"

namespace remote {

namespace {

constexpr char kMenuTitle[] = "&Say Whut?";
// What a diary line quotes of a command nobody understood.
constexpr qsizetype kQuotedCommand = 60;

std::string Quoted(const QByteArray& payload)
{
    QByteArray shown = payload.left(kQuotedCommand);
    if (payload.size() > kQuotedCommand)
        shown += "...";
    return ('"' + shown + '"').toStdString();
}

}  // namespace

RemoteControl::RemoteControl(GuardAccess& access, QObject* parent)
    : QObject(parent), access_(access), id_(ThisDeviceId()), topics_(id_), connection_(this)
{
    connect(&connection_, &MqttConnection::MessageArrived, this, &RemoteControl::OnMessage);
    connect(&connection_, &MqttConnection::StatusChanged, this, &RemoteControl::OnStatus);
}

RemoteControl::~RemoteControl()
{
    delete dialog_.data();
    connection_.Close(Message{topics_.availability, kOffline});
}

void RemoteControl::Start()
{
    // Whoever wrote the file last, it holds a password: mode 0600 from now on.
    KeepUserSettingsPrivate();
    settings_ = LoadRemoteSettings();
    const GuardSnapshot snapshot = access_.Snapshot();
    connection_.Keep(topics_.availability, kOnline);
    KeepDiscovery();
    KeepGuard(snapshot.on);
    KeepNext(snapshot.armedWakeUp ? IsoTime(snapshot.armedWakeUp->GetTime()) : kNoValue);
    ProblemsMayHaveChanged();
    Connect();
}

void RemoteControl::Connect()
{
    connection_.Close(Message{topics_.availability, kOffline});
    settingsError_.reset();
    brokerText_.clear();
    if (settings_.broker.trimmed().isEmpty()) {
        OnStatus(connection_.Status());
        return;
    }
    QString error;
    const std::optional<BrokerAddress> address = ParseBrokerAddress(settings_.broker, &error);
    if (!address) {
        settingsError_ = error;
        OnStatus(connection_.Status());
        return;
    }
    brokerText_ = address->ToString();
    LinkOptions options;
    options.host = address->host.toStdString();
    options.port = address->port;
    options.tls = address->tls;
    options.caFile = QFile::encodeName(settings_.caFile.trimmed()).toStdString();
    options.user = settings_.user.toStdString();
    options.password = settings_.password.toStdString();
    options.clientId = "hauntwatch-" + id_;
    options.will = {topics_.availability, kOffline};
    options.subscriptions = {topics_.guardSet, kHomeAssistantStatus};
    connection_.Open(options);
}

bool RemoteControl::Apply(const RemoteSettings& settings, QString* error)
{
    if (!settings.broker.trimmed().isEmpty() && !ParseBrokerAddress(settings.broker, error))
        return false;
    if (!SaveRemoteSettings(settings, error))
        return false;
    const bool renamed = DeviceName(settings) != DeviceName(settings_);
    settings_ = LoadRemoteSettings();
    if (renamed)
        KeepDiscovery();
    Connect();
    return true;
}

LinkStatus RemoteControl::Status() const
{
    if (settingsError_)
        return {LinkState::Misconfigured, *settingsError_, 0};
    return connection_.Status();
}

QString RemoteControl::StatusLine() const
{
    return StatusText(Status(), brokerText_);
}

void RemoteControl::AttachTo(QWidget* mainWindow)
{
    auto* bar = mainWindow ? mainWindow->findChild<QMenuBar*>() : nullptr;
    if (!bar)
        return;
    mainWindow_ = mainWindow;
    for (QAction* item : bar->actions()) {
        if (!item->menu() || item->text() != QLatin1String(kMenuTitle))
            continue;
        auto* action = item->menu()->addAction(QStringLiteral("Remote Control…"));
        action->setObjectName(QStringLiteral("remoteControl"));
        connect(action, &QAction::triggered, this, &RemoteControl::OpenDialog);
        return;
    }
}

void RemoteControl::OpenDialog()
{
    if (!dialog_) {
        dialog_ = new RemoteDialog(*this, mainWindow_);
        dialog_->setAttribute(Qt::WA_DeleteOnClose);
    }
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}

void RemoteControl::KeepDiscovery()
{
    for (const Message& config : DiscoveryConfigs(id_, DeviceName(settings_), QStringLiteral(HAUNTWATCH_VERSION)))
        connection_.Keep(config.topic, config.payload);
}

void RemoteControl::KeepGuard(bool on)
{
    connection_.Keep(topics_.guard, on ? kOn : kOff);
}

void RemoteControl::KeepNext(const std::string& next)
{
    if (next == next_)
        return;
    next_ = next;
    connection_.Keep(topics_.next, next);
}

void RemoteControl::ProblemsMayHaveChanged()
{
    refreshPending_ = false;
    const int count = access_.ProblemCount();
    if (problems_ == count)
        return;
    problems_ = count;
    connection_.Keep(topics_.problems, std::to_string(count));
}

// The lines an event brings are appended by the guard around it, and by the
// other parts of the program in their own handlers of it: counted once they
// are all in.
void RemoteControl::LaterRefresh()
{
    if (refreshPending_)
        return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (refreshPending_)
            ProblemsMayHaveChanged();
    });
}

void RemoteControl::SetUnheard(bool unheard)
{
    connection_.Keep(topics_.unheard, unheard ? kOn : kOff);
    LaterRefresh();
}

void RemoteControl::GuardStarted(CTime /*at*/, GuardStartOrigin /*origin*/)
{
    KeepGuard(true);
    LaterRefresh();
}

void RemoteControl::GuardStopped(CTime /*at*/)
{
    KeepGuard(false);
    KeepNext(kNoValue);
    LaterRefresh();
}

void RemoteControl::PassWillPlay(CTime /*at*/, bool /*soundOrMovie*/)
{
    LaterRefresh();
}

void RemoteControl::Played(const PlayReport& report)
{
    connection_.Keep(topics_.lastPlay, LastPlayJson(report, NoiseNameFor(access_.Snapshot(), report.path)));
    LaterRefresh();
}

void RemoteControl::QuietHold(CTime /*until*/, CTime /*at*/)
{
    LaterRefresh();
}

void RemoteControl::WakeUpArmed(CTime wake)
{
    KeepNext(IsoTime(wake.GetTime()));
}

void RemoteControl::TimerFailed(CTime /*at*/)
{
    KeepNext(kNoValue);
    LaterRefresh();
}

void RemoteControl::OnMessage(const QString& topic, const QByteArray& payload, bool retained)
{
    if (topic == QLatin1String(kHomeAssistantStatus)) {
        // Home Assistant came back and has forgotten what it discovered.
        if (payload == kOnline)
            connection_.SendKeptAgain();
        return;
    }
    if (topic.toStdString() != topics_.guardSet)
        return;
    if (retained) {
        // A command left on the broker is a wish from the past (or a switch
        // set to retain), not somebody asking now.
        if (std::find(retainedNoted_.begin(), retainedNoted_.end(), payload) == retainedNoted_.end()) {
            retainedNoted_.push_back(payload);
            Note("ignored the retained command " + Quoted(payload) + " found on the broker at connection");
        }
        return;
    }
    const bool wasOn = access_.Snapshot().on;
    if (payload == kOn) {
        Note("command ON from the broker");
        access_.TurnOn(GuardStartOrigin::Remote);
    } else if (payload == kOff) {
        Note("command OFF from the broker");
        access_.Stop();
    } else {
        Note("ignored the command " + Quoted(payload) + " (only ON and OFF are understood)");
    }
    // A change was sent by the guard's own event; a command that changed
    // nothing (ON while on) still gets an answer, for a switch that guessed.
    const bool isOn = access_.Snapshot().on;
    if (isOn == wasOn)
        KeepGuard(isOn);
    LaterRefresh();
}

// The diary hears of each change between connected, refused, lost and TLS
// failed, not of every retry in between.
void RemoteControl::OnStatus(const LinkStatus& /*status*/)
{
    const LinkStatus shown = Status();
    const bool worthANote = shown.state == LinkState::Connected || shown.state == LinkState::Refused ||
                            shown.state == LinkState::Lost || shown.state == LinkState::TlsFailed;
    if (worthANote && shown.state != lastNoted_) {
        Note(StatusLine().toStdString());
        lastNoted_ = shown.state;
    }
    Q_EMIT StatusChanged(shown);
}

void RemoteControl::Note(const std::string& what)
{
    if (diary_)
        diary_(what);
}

}  // namespace remote
