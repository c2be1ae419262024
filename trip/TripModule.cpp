#include "TripModule.h"

#include <QAction>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <limits>
#include <utility>

#include "Autostart.h"
#include "AwayDialog.h"
#include "Diary.h"
#include "DiaryWords.h"
#include "DiaryWindow.h"
#include "DutyRecord.h"
#include "Messenger.h"
#include "Timeline.h"

namespace trip {

class TripModule::AwayTimerWindow final : public platform::TimerWindow {
public:
    explicit AwayTimerWindow(TripModule& module) : module_(module) {}
    void OnTimer(UINT_PTR /*id*/) override { module_.OnAwayTimer(); }

private:
    TripModule& module_;
};

namespace {

constexpr UINT_PTR kAwayTimerId = 1;

std::string AtTime(CTime at)
{
    return at.Format("At %H:%M").str();
}

}  // namespace

TripModule::TripModule(GuardAccess& access, bool resume)
    : access_(access),
      resume_(resume),
      records_([&access](const std::string& line) { access.AppendProblem(line); }),
      away_(ReadAwaySpan()),
      awayTimer_(std::make_unique<AwayTimerWindow>(*this))
{
}

TripModule::~TripModule()
{
    win::KillTimer(awayTimer_.get(), kAwayTimerId);
    delete diary_;
}

platform::TimerWindow& TripModule::AwayTimer()
{
    return *awayTimer_;
}

QAction* TripModule::AwayAction() const
{
    return awayAction_;
}

QAction* TripModule::AutostartAction() const
{
    return autostartAction_;
}

QAction* TripModule::DiaryAction() const
{
    return diaryAction_;
}

DiaryWindow* TripModule::Diary() const
{
    return diary_;
}

void TripModule::AttachTo(QWidget& window, QMenu& menu)
{
    menu.addSeparator();
    autostartAction_ = menu.addAction(QString::fromUtf8(kAutostartItem));
    autostartAction_->setCheckable(true);
    autostartAction_->setChecked(AutostartEntryExists());
    // The entry is a file the person may also remove by hand.
    connect(&menu, &QMenu::aboutToShow, autostartAction_, [this] { autostartAction_->setChecked(AutostartEntryExists()); });
    connect(autostartAction_, &QAction::triggered, this, &TripModule::SetAutostart);

    diaryAction_ = menu.addAction(QString::fromUtf8(kDiaryItem));
    diaryAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    diaryAction_->setShortcutContext(Qt::WindowShortcut);
    // The menu's own shortcuts count only while it is open; on the window they always do.
    window.addAction(diaryAction_);
    connect(diaryAction_, &QAction::triggered, this, [this, &window] { ShowDiary(window); });

    awayAction_ = menu.addAction(QString::fromUtf8(kAwayItem));
    awayAction_->setCheckable(true);
    connect(awayAction_, &QAction::triggered, this, [this, &window] { ShowAway(window); });
    ShowAwayInMenu();
}

// Nothing else in the main window says a span is set: its item does, with
// the return time.
void TripModule::ShowAwayInMenu()
{
    if (!awayAction_)
        return;
    awayAction_->setChecked(away_.has_value());
    awayAction_->setText(away_ ? QStringLiteral("A&way until %1\u2026").arg(ShortTimeText(away_->until))
                               : QString::fromUtf8(kAwayItem));
}

// An open diary window follows the guard and the span; from the event
// loop, since the guard's events come in the middle of its passes.
void TripModule::DiaryMayHaveChanged()
{
    if (!diary_ || !diary_->isVisible() || std::exchange(diaryRefreshPending_, true))
        return;
    QTimer::singleShot(0, this, [this] {
        diaryRefreshPending_ = false;
        if (diary_ && diary_->isVisible())
            diary_->Refresh();
    });
}

void TripModule::AfterStartUp()
{
    if (std::exchange(startedUp_, true))
        return;
    startingUp_ = true;
    const int starts = guardStarts_;
    ResumeOrForget();
    TellAway();
    // Away now: on duty, whatever the start; back already while the program
    // was not running: off, and the span is over.  Later, at the times.
    if (away_ && !(CTime::GetCurrentTime() < away_->from))
        OnAwayTimer();
    else if (away_)
        ArmAway();
    // A guard start just now has told it already.
    if (guardStarts_ == starts)
        TellAwayTrouble(CTime::GetCurrentTime(), !resume_);
    startingUp_ = false;
}

// A span the person wrote by hand and got slightly wrong would leave the
// house silent for the whole trip: said at every start, of the program and
// of the guard, until it is mended.
void TripModule::TellAwayTrouble(CTime at, bool personAtWindow)
{
    const AwayFile file = ReadAwayFile();
    if (!file.trouble)
        return;
    const std::string path = AwaySpanPath();
    access_.AppendProblem(AtTime(at) + " the away file " + path + " cannot be used: " + *file.trouble +
                          ". Mervo does not go on duty by himself when you leave");
    Diary::Append(at, words::kAwayUnusable, {path, *file.trouble});
    if (personAtWindow)
        platform::InstalledMessenger().ShowWithoutWaiting(
            "The time you are away cannot be read from " + path + ": " + *file.trouble +
            ".\n\nMervo will not go on duty by himself when you leave. Set the times again under Say Whut? \u2192 "
            "Away from \u2026 until \u2026.");
}

bool TripModule::SetAway(std::optional<AwaySpan> span, std::string* error)
{
    if (!(span ? WriteAwaySpan(*span, error) : ClearAwaySpan(error)))
        return false;
    away_ = span;
    TellAway();
    ArmAway();
    // Leaving now, or already gone: at once, from the event loop.
    if (away_ && !(CTime::GetCurrentTime() < away_->from))
        QTimer::singleShot(0, this, &TripModule::OnAwayTimer);
    return true;
}

void TripModule::TellAway()
{
    ShowAwayInMenu();
    DiaryMayHaveChanged();
    if (awayListener_)
        awayListener_(away_);
}

// On the guard's own wall-clock timer, which is never early: at the leaving
// time, and then at the return.
void TripModule::ArmAway()
{
    win::KillTimer(awayTimer_.get(), kAwayTimerId);
    if (!away_)
        return;
    const CTime now = CTime::GetCurrentTime();
    const CTime next = now < away_->from ? away_->from : away_->until;
    const std::int64_t ms = std::max<std::int64_t>(0, (next - now).GetTotalSeconds()) * 1000;
    win::SetTimer(awayTimer_.get(), kAwayTimerId, static_cast<UINT>(std::min<std::int64_t>(ms, std::numeric_limits<UINT>::max())),
                  nullptr);
}

void TripModule::OnAwayTimer()
{
    win::KillTimer(awayTimer_.get(), kAwayTimerId);
    if (!away_)
        return;
    const CTime now = CTime::GetCurrentTime();
    if (now < away_->from) {
        ArmAway();
        return;
    }
    if (now < away_->until) {
        if (!access_.Snapshot().on) {
            access_.TurnOn(GuardStartOrigin::Away);
            // The start empties the problem report; the line goes in after it.
            if (access_.Snapshot().on)
                access_.AppendProblem(AtTime(now) + " on duty: you are away until " +
                                      away_->until.Format("%a %e %b %H:%M").str());
        }
        ArmAway();
        return;
    }
    // Back: the span is over before the guard goes off, so that stop is not
    // taken for somebody at home.
    std::string error;
    SetAway(std::nullopt, &error);
    if (access_.Snapshot().on)
        access_.Stop();
}

void TripModule::ShowAway(QWidget& window)
{
    AwayDialog dialog(away_, &window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    std::string error;
    if (!SetAway(dialog.Chosen(), &error))
        platform::InstalledMessenger().ShowWithoutWaiting("The time you are away could not be kept: " + error);
}

void TripModule::ResumeOrForget()
{
    if (const std::optional<std::string> other = NotADutyRecord()) {
        access_.AppendProblem(AtTime(CTime::GetCurrentTime()) + " " + DutyRecordPath() + " is " + *other +
                              ", not a duty record: it is left alone, and a restart cannot put Mervo back on duty");
        return;
    }
    if (!DutyRecordPresent())
        return;
    if (!resume_) {
        // Started by hand: the guard is off, as the person sees it, so a
        // later restart must not put it back on from an older record.
        // One that cannot be read still says he was on duty, as for --resume.
        forgottenSince_ = DutyRecordSince().value_or(CTime::GetCurrentTime());
        RemoveDutyRecord(nullptr);
        return;
    }
    Resume(std::nullopt);
}

void TripModule::ResumeHandedOver()
{
    // Before the window is up this run's own start-up has not looked at the
    // record yet: it resumes from it then.
    if (!startedUp_) {
        resume_ = true;
        return;
    }
    if (guardTouched_ || access_.Snapshot().on)
        return;
    if (forgottenSince_)
        Resume(forgottenSince_);
    else if (DutyRecordPresent())
        Resume(std::nullopt);
}

void TripModule::Resume(std::optional<CTime> since)
{
    if (since)
        records_.ResumeFrom(*since);
    access_.TurnOn(GuardStartOrigin::Resumed);
    // The start empties the problem report; the line goes in after it.
    if (access_.Snapshot().on)
        access_.AppendProblem(AtTime(CTime::GetCurrentTime()) + " back on duty after a restart");
}

void TripModule::GuardStarted(CTime at, GuardStartOrigin origin)
{
    guardTouched_ = true;
    ++guardStarts_;
    forgottenSince_.reset();
    records_.GuardStarted(at, origin);
    TellAwayTrouble(at, origin == GuardStartOrigin::Person || (startingUp_ && !resume_));
    DiaryMayHaveChanged();
}

void TripModule::GuardStopped(CTime at)
{
    guardTouched_ = true;
    forgottenSince_.reset();
    records_.GuardStopped(at);
    DiaryMayHaveChanged();
    // Turned off while away (the mansion, Quit, the close box, the remote
    // control): somebody is evidently home, and the span is over.
    if (!std::exchange(timerFailed_, false) && away_ && away_->Holds(at)) {
        std::string error;
        SetAway(std::nullopt, &error);
    }
}

void TripModule::TimerFailed(CTime at)
{
    timerFailed_ = true;
    records_.TimerFailed(at);
}

void TripModule::SetAutostart(bool on)
{
    QString error;
    const bool done = on ? WriteAutostartEntry(&error) : RemoveAutostartEntry(&error);
    autostartAction_->setChecked(AutostartEntryExists());
    if (!done)
        platform::InstalledMessenger().ShowWithoutWaiting(
            QStringLiteral("The autostart entry %1 could not be %2: %3")
                .arg(AutostartEntryPath(), on ? QStringLiteral("written") : QStringLiteral("removed"), error)
                .toLocal8Bit()
                .toStdString());
}

void TripModule::ShowDiary(QWidget& window)
{
    if (!diary_)
        diary_ = new DiaryWindow(access_, &window);
    diary_->Refresh();
    diary_->show();
    diary_->raise();
    diary_->activateWindow();
}

}  // namespace trip
