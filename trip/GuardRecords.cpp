#include "GuardRecords.h"

#include <utility>

#include "Diary.h"
#include "DiaryFormat.h"
#include "DutyRecord.h"

namespace trip {

GuardRecords::GuardRecords(std::function<void(const std::string&)> tellProblem)
    : tellProblem_(std::move(tellProblem))
{
}

void GuardRecords::GuardStarted(CTime at, GuardStartOrigin origin)
{
    diaryFailureTold_ = false;
    const std::optional<CTime> resumeFrom = std::exchange(resumeFrom_, std::nullopt);
    // A resumed guard has been on duty since the person's own start, however
    // many restarts ago.
    CTime since = at;
    if (origin == GuardStartOrigin::Resumed) {
        since = resumeFrom ? *resumeFrom : DutyRecordSince().value_or(at);
        Write(at, "guard resumed", {IsoLocalTime(since)});
    } else if (origin == GuardStartOrigin::Away) {
        // Nobody turned him on: the person's leaving time did.
        Write(at, "guard on", {"away"});
    } else {
        Write(at, "guard on");
    }
    std::string error;
    if (!WriteDutyRecord(since, &error))
        // What a restart will do is what is on disk now: an older record
        // still puts him back on duty.
        Problem(at, " couldn't keep the duty record (" + error + ")" +
                        (DutyRecordPresent() ? ": after a restart the older record puts Mervo back on duty"
                                             : ": after a restart Mervo stays off duty"));
}

void GuardRecords::GuardStopped(CTime at)
{
    Write(at, "guard off");
    std::string error;
    if (!RemoveDutyRecord(&error))
        Problem(at, " couldn't remove the duty record (" + error + ")" +
                        (DutyRecordPresent() ? ": a restart will put Mervo back on duty" : ": a restart leaves him off duty"));
}

void GuardRecords::Played(const PlayReport& report)
{
    std::vector<std::string> fields{report.path.str()};
    if (!report.excerpt.empty())
        fields.push_back(report.excerpt);
    if (report.outcome == PlayOutcome::Failed)
        fields.push_back(report.reason.empty() ? FailureReason(report.failure) : report.reason);
    // A noise a person asked for through the broker says so.
    if (report.origin == PlayOrigin::Remote)
        fields.push_back(kFromTheBroker);
    switch (report.outcome) {
    case PlayOutcome::Played:
        Write(report.at, "played", fields);
        break;
    case PlayOutcome::Started:
        Write(report.at, "started", fields);
        break;
    case PlayOutcome::Failed:
        Write(report.at, "failed", fields);
        break;
    }
}

void GuardRecords::QuietHold(CTime until, CTime at)
{
    Write(at, "quiet until", {IsoLocalTime(until)});
}

// No noise is named: what failed is the guard's own wake-up, and nothing
// plays until it is started again.
void GuardRecords::TimerFailed(CTime at)
{
    Write(at, "failed", {"", kTimerFailedReason});
}

void GuardRecords::Write(CTime at, std::string_view event, const std::vector<std::string>& fields)
{
    std::string error;
    if (Diary::Append(at, event, fields, &error) || diaryFailureTold_)
        return;
    diaryFailureTold_ = true;
    Problem(at, " couldn't write Mervo's diary (" + error + ")");
}

void GuardRecords::Problem(CTime at, const std::string& what)
{
    if (tellProblem_)
        tellProblem_(at.Format("At %H:%M").str() + what);
}

}  // namespace trip
