#pragma once
// The trip features in the running program: the duty record and the diary
// (GuardRecords, told by the guard's events), the resume after a restart,
// and the "Guard Again After a Restart" and "Mervo's Diary" items of
// "&Say Whut?".  It acts on the guard only through GuardAccess.
#include <QObject>
#include <QPointer>

#include "GuardAccess.h"
#include "GuardRecords.h"

class QAction;
class QMainWindow;
class QMenu;

namespace trip {

class DiaryWindow;

inline constexpr char kAutostartItem[] = "Guard Again After a Restart";
inline constexpr char kDiaryItem[] = "Mervo's Diary";

class TripModule final : public QObject {
    Q_OBJECT
public:
    // `resume`: the program was started with --resume.
    TripModule(GuardAccess& access, bool resume);
    ~TripModule() override;

    // For the program's fan-out of the guard's events.
    GuardEvents& Events() { return records_; }

    // Once the usual start-up is over (the window is up, the settings are
    // loaded, no start-up message waits): the menu items, then the guard back
    // on duty if the program was asked to resume and the duty record says it
    // was on.  Called before that, it tries again a little later.
    void AfterStartUp();

    // Null until AfterStartUp found the main window.
    QAction* AutostartAction() const;
    QAction* DiaryAction() const;
    DiaryWindow* Diary() const;

private:
    void AddMenuItems(QMainWindow& window, QMenu& menu);
    void ResumeOrForget();
    void SetAutostart(bool on);
    void ShowDiary(QMainWindow& window);

    GuardAccess& access_;
    bool resume_;
    bool attached_ = false;
    GuardRecords records_;
    QPointer<QAction> autostartAction_;
    QPointer<QAction> diaryAction_;
    QPointer<DiaryWindow> diary_;
};

}  // namespace trip
