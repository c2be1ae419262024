#pragma once
// The trip features in the running program: the duty record and the diary
// (GuardRecords, told by the guard's events), the resume after a restart,
// and the "Guard Again After a Restart" and "Mervo's Diary" items of
// "&Say Whut?".  It acts on the guard only through GuardAccess.
#include <QObject>
#include <QPointer>
#include <optional>

#include "GuardAccess.h"
#include "GuardRecords.h"

class QAction;
class QMenu;
class QWidget;

namespace trip {

class DiaryWindow;

inline constexpr char kAutostartItem[] = "Guard Again After a Restart";
inline constexpr char kDiaryItem[] = "Mervo's Diary";

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

    // Adds "Guard Again After a Restart" and "Mervo's Diary" to `menu` of
    // the main window.
    void AttachTo(QWidget& window, QMenu& menu);
    // Once the usual start-up is over (the window is up, the settings are
    // loaded, no start-up message waits): the guard back on duty if the
    // program was asked to resume and the duty record says it was on.
    void AfterStartUp();

    // Null until AttachTo.
    QAction* AutostartAction() const;
    QAction* DiaryAction() const;
    DiaryWindow* Diary() const;

private:
    void GuardStarted(CTime at, GuardStartOrigin origin) override;
    void GuardStopped(CTime at) override;
    void Played(const PlayReport& report) override { records_.Played(report); }
    void QuietHold(CTime until, CTime at) override { records_.QuietHold(until, at); }
    void TimerFailed(CTime at) override { records_.TimerFailed(at); }

    void Resume(std::optional<CTime> since);
    void ResumeOrForget();
    void SetAutostart(bool on);
    void ShowDiary(QWidget& window);

    GuardAccess& access_;
    bool resume_;
    bool startedUp_ = false;
    GuardRecords records_;
    // The record a start by hand removed, kept for a --resume handed over
    // later in the run; gone once the guard is turned on or off.
    std::optional<CTime> forgottenSince_;
    bool guardTouched_ = false;
    QPointer<QAction> autostartAction_;
    QPointer<QAction> diaryAction_;
    QPointer<DiaryWindow> diary_;
};

}  // namespace trip
