#pragma once
// "Mervo's Diary": the last seven days from the diary and what comes next
// from the plan, as a timeline read at a glance and, under it, as a list.
// While the guard is on, the future is its real schedule, worked out from
// the guard's snapshot; while it is off, what a start now would do.
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "CTime.h"
#include "Diary.h"
#include "GuardAccess.h"
#include "Plan.h"
#include "Timeline.h"

class QCheckBox;
class QLabel;
class QTreeWidget;

namespace trip {

class MediaLengthCache;

// The hours Mervo was on duty, from all the diary's lines (oldest first):
// from each start or resume, broken from the last line before a resume to
// that resume (the program was not running there), ending at each stop.  A
// duty that began before the oldest line kept counts from a resume's "since",
// or, while he is on duty now, from the duty record's time.
std::vector<TimelineSpan> OnDutySpans(const std::vector<DiaryEntry>& entries, bool onNow, std::optional<CTime> recordSince,
                                      CTime now);

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
