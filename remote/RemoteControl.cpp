#include "RemoteControl.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QRandomGenerator>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <ctime>

#include "BrokerAddress.h"
#include "DeviceId.h"
#include "RemoteDialog.h"
#include "RemoteSettings.h"

namespace remote {

namespace {

// Whatever was set aside in a minute gets one line at its end.
constexpr auto kSummaryMinute = std::chrono::minutes(1);

// Home Assistant says "online" once as it starts; more within this long of
// each other are one start (or somebody's flood), answered once.
constexpr std::int64_t kOnlineBurstMs = 5000;
constexpr auto kOutageOverAfter = std::chrono::minutes(1);

// Milliseconds on a clock that neither steps nor stops while the machine sleeps.
std::int64_t BootMilliseconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

std::string FreshClientId(const std::string& deviceId)
{
    const QString drawn = QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, u'0');
    return "hauntwatch-" + deviceId + "-" + drawn.toStdString();
}

std::string SummaryLine(const CommandInbox::Summary& summary)
{
    const std::string since = CTime(summary.since).Format("%H:%M").str();
    return "ignored " + std::to_string(summary.count) + (summary.count == 1 ? " command" : " commands") + " since " +
           since + ", the last: " + summary.last;
}

}  // namespace

RemoteControl::RemoteControl(GuardAccess& access, QObject* parent)
    : QObject(parent),
      access_(access),
      id_(ThisDeviceId()),
      clientId_(FreshClientId(id_)),
      topics_(id_),
      connection_(this),
      notes_([this](const std::string& line) { Note(line); })
{
    connection_.SetReceiver([this](const Incoming& message) { Receive(message); });
    connect(&connection_, &MqttConnection::StatusChanged, this, &RemoteControl::OnStatus);
    held_.setSingleShot(true);
    held_.setInterval(kOutageOverAfter);
    connect(&held_, &QTimer::timeout, this, &RemoteControl::OnHeld);
    summary_.setSingleShot(true);
    summary_.setInterval(kSummaryMinute);
    connect(&summary_, &QTimer::timeout, this, &RemoteControl::WriteSummary);
}

RemoteControl::~RemoteControl()
{
    delete dialog_.data();
    Leave();
}

void RemoteControl::Leave()
{
    connection_.Close(Message{topics_.availability, kOffline});
    inbox_.Abandon();
    WriteSummary();
    connection_.Settle(std::chrono::seconds(3));
}

void RemoteControl::Start()
{
    // Whoever wrote the file last, it holds a password: mode 0600 from now on.
    KeepUserSettingsPrivate();
    settings_ = LoadRemoteSettings();
    started_ = true;
    KeepAway();
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
    notes_.Restart();
    held_.stop();
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
    options.clientId = clientId_;
    options.will = {topics_.availability, kOffline};
    options.subscriptions = {topics_.guardSet, topics_.play, kHomeAssistantStatus};
    connection_.Open(options);
}

bool RemoteControl::Apply(const RemoteSettings& settings, QString* error)
{
    if (!settings.broker.trimmed().isEmpty() && !ParseBrokerAddress(settings.broker, error))
        return false;
    if (!SaveRemoteSettings(settings, error))
        return false;
    const bool renamed = DeviceName(settings) != DeviceName(settings_);
    const bool detailsChanged = settings.publishDetails != settings_.publishDetails;
    settings_ = LoadRemoteSettings();
    if (renamed || detailsChanged)
        KeepDiscovery();
    if (detailsChanged) {
        KeepAway();
        KeepLastPlay();
    }
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

void RemoteControl::AttachTo(QWidget& mainWindow, QMenu& menu)
{
    mainWindow_ = &mainWindow;
    auto* action = menu.addAction(QStringLiteral("Remote Control…"));
    action->setObjectName(QStringLiteral("remoteControl"));
    connect(action, &QAction::triggered, this, &RemoteControl::OpenDialog);
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
    for (const Message& config : DiscoveryConfigs(id_, DeviceName(settings_), QStringLiteral(HAUNTWATCH_VERSION),
                                                  settings_.publishDetails))
        connection_.Keep(config.topic, config.payload);
    KeepButtons();
}

// A button for each name in the library; a name no longer there loses its
// button (an empty retained configuration removes an entity).  The ids go
// into the person's settings, and a removed one stays there until the next
// connection sends its removal again: a removal sent just as the link drops
// is lost, and the button would otherwise stay in Home Assistant for good.
void RemoteControl::KeepButtons()
{
    const std::vector<std::string> names = LibraryNames(access_.Snapshot().library);
    for (const std::string& gone : buttonNames_) {
        if (std::find(names.begin(), names.end(), gone) != names.end())
            continue;
        const std::string topic = ButtonConfigTopic(id_, ButtonId(gone));
        connection_.Forget(topic);
        connection_.Send(topic, {}, true);
    }
    const QStringList saved = LoadPublishedButtons();
    QStringList ids = saved;
    for (const std::string& name : names) {
        const Message config = ButtonConfig(id_, DeviceName(settings_), QStringLiteral(HAUNTWATCH_VERSION), name);
        connection_.Keep(config.topic, config.payload);
        const QString id = QString::fromStdString(ButtonId(name));
        if (!ids.contains(id))
            ids << id;
    }
    if (ids != saved)
        SavePublishedButtons(ids);
    buttonNames_ = names;
}

void RemoteControl::RemoveStaleButtons()
{
    QStringList current;
    for (const std::string& name : buttonNames_)
        current << QString::fromStdString(ButtonId(name));
    for (const QString& id : LoadPublishedButtons())
        if (!current.contains(id))
            connection_.Send(ButtonConfigTopic(id_, id.toStdString()), {}, true);
    SavePublishedButtons(current);
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

// Retained, so that Home Assistant knows it whenever it looks; an empty
// retained message takes the topic off the broker.
void RemoteControl::SetAway(std::optional<std::pair<std::int64_t, std::int64_t>> span)
{
    away_ = span;
    KeepAway();
}

void RemoteControl::KeepAway()
{
    connection_.Keep(topics_.away, AwayPayload(away_, settings_.publishDetails));
}

void RemoteControl::KeepLastPlay()
{
    if (lastPlay_)
        connection_.Keep(topics_.lastPlay, LastPlayJson(lastPlay_->first, lastPlay_->second, settings_.publishDetails));
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
    lastPlay_.emplace(report, report.noiseName.str());
    KeepLastPlay();
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

void RemoteControl::LibraryChanged()
{
    // The start-up's own loading of the settings comes before Start, which
    // keeps the buttons of what was loaded.
    if (started_)
        KeepButtons();
}

void RemoteControl::Receive(const Incoming& message)
{
    bool wake = false;
    if (message.topic == kHomeAssistantStatus) {
        // Home Assistant came back and has forgotten what it discovered:
        // answered here, whatever the window's thread is busy with.
        if (std::string_view(message.payload, message.length) != kOnline)
            return;
        const std::int64_t now = BootMilliseconds();
        const std::int64_t last = lastOnlineMs_.exchange(now);
        if (last < 0 || now - last > kOnlineBurstMs)
            MqttConnection::SendKeptAgain(message);
        return;
    }
    // A command left retained on the broker is a wish from the past (or a
    // switch set to retain), not somebody asking now: it is only counted.
    if (message.topic == topics_.guardSet)
        wake = inbox_.OfferGuard(message.payload, message.length, message.retained);
    else if (message.topic == topics_.play)
        wake = inbox_.OfferPlay(message.payload, message.length, message.retained);
    if (wake)
        QMetaObject::invokeMethod(this, &RemoteControl::Drain, Qt::QueuedConnection);
}

void RemoteControl::Drain()
{
    if (const std::optional<CommandInbox::Command> command = inbox_.Take()) {
        if (command->kind == CommandInbox::Command::Kind::Guard)
            CarryOutGuard(command->payload);
        else if (!access_.PlayNoise(command->payload))
            inbox_.SetAside(command->payload);
        LaterRefresh();
        // The next one from the event loop: the window answers in between.
        QTimer::singleShot(0, this, &RemoteControl::Drain);
    }
    ConsiderSummary();
}

void RemoteControl::CarryOutGuard(const std::string& command)
{
    const bool wasOn = access_.Snapshot().on;
    if (command == kOn && !wasOn) {
        Note("command ON from the broker");
        access_.TurnOn(GuardStartOrigin::Remote);
    } else if (command == kOff && wasOn) {
        Note("command OFF from the broker");
        access_.Stop();
    }
    // A change was sent by the guard's own event; a command that changed
    // nothing (ON while on) still gets an answer, for a switch that guessed.
    const bool isOn = access_.Snapshot().on;
    if (isOn == wasOn)
        KeepGuard(isOn);
}

void RemoteControl::ConsiderSummary()
{
    if (!summary_.isActive() && inbox_.SomethingSetAside())
        summary_.start();
}

void RemoteControl::WriteSummary()
{
    if (const std::optional<CommandInbox::Summary> summary = inbox_.TakeSummary())
        Note(SummaryLine(*summary));
}

// The diary hears of the link once per outage, not at every retry.
void RemoteControl::OnStatus(const LinkStatus& /*status*/)
{
    const LinkStatus shown = Status();
    const std::int64_t now = BootMilliseconds() / 1000;
    switch (shown.state) {
    case LinkState::Connected:
        notes_.Connected(StatusLine().toStdString(), now);
        if (notes_.InOutage())
            held_.start();
        RemoveStaleButtons();
        break;
    case LinkState::Unreachable:
    case LinkState::Refused:
    case LinkState::Lost:
    case LinkState::TlsFailed: {
        held_.stop();
        // When it tries again is of the moment, not of the record.
        LinkStatus lasting = shown;
        lasting.retryInSeconds = 0;
        notes_.Trouble(StatusText(lasting, brokerText_).toStdString(), shown.state == LinkState::Lost, now);
        break;
    }
    case LinkState::Off:
    case LinkState::Connecting:
    case LinkState::Misconfigured:
        held_.stop();
        break;
    }
    Q_EMIT StatusChanged(shown);
}

void RemoteControl::OnHeld()
{
    if (Status().state == LinkState::Connected)
        notes_.Held(brokerText_.toStdString(), BootMilliseconds() / 1000);
}

void RemoteControl::Note(const std::string& what)
{
    if (diary_)
        diary_(what);
}

}  // namespace remote
