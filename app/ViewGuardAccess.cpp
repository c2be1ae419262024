#include "ViewGuardAccess.h"

#include "CFrameWnd.h"
#include "CWinApp.h"
#include "GuardRealism.h"
#include "GuardScheduler.h"
#include "MenuResources.h"
#include "NoisePlayer.h"
#include "ProblemLog.h"

void ViewGuardAccess::TurnOn(GuardStartOrigin origin)
{
    CFrameWnd* frame = AfxGetMainWnd();
    if (!frame || guardOn != 0)
        return;
    SetNextGuardStartOrigin(origin);
    frame->OnCmdMsg(ID_TURN_ME_ON);
    // A start that did not happen must not lend its origin to the next one.
    TakeGuardStartOrigin();
}

void ViewGuardAccess::Stop()
{
    if (CFrameWnd* frame = AfxGetMainWnd())
        frame->OnCmdMsg(ID_STOP_GUARD);
}

bool ViewGuardAccess::PlayNoise(const std::string& name)
{
    const int found = FindNoise(CString(name));
    if (found < 0)
        return false;
    const GuardPlays told(PlayOrigin::Remote);
    ::PlayNoise(GuardSettings.library.noises[found].path, 1, -1, GuardSettings.library.noises[found].name);
    return true;
}

void ViewGuardAccess::AppendProblem(const std::string& line)
{
    ProblemLog.Append(CString(line));
}

GuardSnapshot ViewGuardAccess::Snapshot() const
{
    return TakeGuardSnapshot();
}

int ViewGuardAccess::ProblemCount() const
{
    return ProblemLog.problemCount;
}

void ViewGuardAccess::SetScheduleExtras(const lifelike::ScheduleExtras& extras)
{
    ::SetScheduleExtras(extras);
    InstalledGuardEvents().ScheduleChanged();
}
