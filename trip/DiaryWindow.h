#pragma once
// "Mervo's Diary": the last seven days from the diary and what comes next
// from the plan, as a timeline read at a glance and, under it, as a list.
// While the guard is on, the future is its real schedule, worked out from
// the guard's snapshot; while it is off, what a start now would do.
#include <QWidget>
#include <memory>
#include <vector>

#include "CTime.h"
#include "GuardAccess.h"
#include "Plan.h"

class QCheckBox;
class QLabel;
class QTreeWidget;

namespace trip {

class MediaLengthCache;
class Timeline;

class DiaryWindow final : public QWidget {
    Q_OBJECT
public:
    explicit DiaryWindow(GuardAccess& access, QWidget* parent = nullptr);
    ~DiaryWindow() override;

    // Reads the diary and works out the plan again, at the current time.
    void Refresh();

    // What the last Refresh planned.
    const std::vector<PlanEvent>& Plan() const { return plan_; }
    Timeline& TimelineView() const { return *timeline_; }
    QTreeWidget& List() const { return *list_; }
    QCheckBox& WeekAhead() const { return *weekAhead_; }

private:
    GuardAccess& access_;
    std::unique_ptr<MediaLengthCache> lengths_;
    std::vector<PlanEvent> plan_;
    Timeline* timeline_;
    QLabel* summary_;
    QCheckBox* weekAhead_;
    QTreeWidget* list_;
};

}  // namespace trip
