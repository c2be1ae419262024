#include "TripModule.h"

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <utility>

#include "Autostart.h"
#include "DiaryWindow.h"
#include "DutyRecord.h"
#include "Messenger.h"

namespace trip {

TripModule::TripModule(GuardAccess& access, bool resume)
    : access_(access), resume_(resume), records_([&access](const std::string& line) { access.AppendProblem(line); })
{
}

TripModule::~TripModule()
{
    delete diary_;
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
}

void TripModule::AfterStartUp()
{
    if (std::exchange(startedUp_, true))
        return;
    ResumeOrForget();
}

void TripModule::ResumeOrForget()
{
    if (const std::optional<std::string> other = NotADutyRecord()) {
        access_.AppendProblem(CTime::GetCurrentTime().Format("At %H:%M").str() + " " + DutyRecordPath() + " is " + *other +
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
        access_.AppendProblem(CTime::GetCurrentTime().Format("At %H:%M").str() + " back on duty after a restart");
}

void TripModule::GuardStarted(CTime at, GuardStartOrigin origin)
{
    guardTouched_ = true;
    forgottenSince_.reset();
    records_.GuardStarted(at, origin);
}

void TripModule::GuardStopped(CTime at)
{
    guardTouched_ = true;
    forgottenSince_.reset();
    records_.GuardStopped(at);
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
