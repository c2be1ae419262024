#include "GuardRecords.h"

#include <utility>

#include "Diary.h"
#include "DiaryFormat.h"
#include "DiaryWords.h"
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
        Write(at, words::kGuardResumed, {IsoLocalTime(since)});
    } else if (origin == GuardStartOrigin::Away) {
        // Nobody turned him on: the person's leaving time did.
        Write(at, words::kGuardOn, {words::kAway});
    } else {
        Write(at, words::kGuardOn);
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
    Write(at, words::kGuardOff);
    std::string error;
    if (!RemoveDutyRecord(&error))
        Problem(at, " couldn't remove the duty record (" + error + ")" +
                        (DutyRecordPresent() ? ": a restart will put Mervo back on duty" : ": a restart leaves him off duty"));
}

void GuardRecords::Played(const PlayReport& report)
{
    words::PlayFields play;
    play.path = report.path.str();
    play.noise = report.noiseName.str();
    play.excerpt = report.excerpt;
    if (report.outcome == PlayOutcome::Failed)
        play.reason = report.reason.empty() ? FailureReason(report.failure) : report.reason;
    // A noise a person asked for through the broker says so.
    play.fromTheBroker = report.origin == PlayOrigin::Remote;
    const char* event = report.outcome == PlayOutcome::Played    ? words::kPlayed
                        : report.outcome == PlayOutcome::Started ? words::kStarted
                                                                 : words::kFailed;
    Write(report.at, event, words::WritePlayFields(play));
}

void GuardRecords::ExtrasRead(const std::vector<std::string>& problems)
{
    const CTime now = CTime::GetCurrentTime();
    for (const std::string& problem : problems)
        Write(now, words::kExtrasIgnored, {problem});
}

void GuardRecords::QuietHold(CTime until, CTime at)
{
    Write(at, words::kQuietUntil, {IsoLocalTime(until)});
}

// No noise is named: what failed is the guard's own wake-up, and nothing
// plays until it is started again.
void GuardRecords::TimerFailed(CTime at)
{
    Write(at, words::kFailed, words::WritePlayFields({"", "", "", kTimerFailedReason, false}));
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
