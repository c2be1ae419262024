#include "CQwendrikView.h"

#include "CBitmap.h"
#include "CDC.h"
#include "CFrameWnd.h"
#include "CHelpDlg.h"
#include "CProblemsDlg.h"
#include "CQwendrikDoc.h"
#include "CScheduleDlg.h"
#include "CStatusBar.h"
#include "CWinApp.h"
#include "GuardEvents.h"
#include "GuardHitTest.h"
#include "GuardScheduler.h"
#include "GuardSettings.h"
#include "HelpText.h"
#include "MenuResources.h"
#include "ProblemLog.h"
#include "Messenger.h"
#include "Random.h"
#include "SleepInhibitor.h"
#include "Sound.h"

CStatusBar* statusBar = nullptr;
CQwendrikDoc* currentDocument = nullptr;

namespace {
constexpr char kGreeting[] = "Hand me that cupcake. I'll guard your mansion while you're on tour.";
constexpr char kOnDuty[] = "Mervo on duty. Click the mansion to stop me.";
constexpr char kNoProblems[] = "Never any problems with the Vorn, man!";
constexpr char kGuardOffSound[] = "c:\\qwendrik\\mervo.wav";
// Two columns and four rows more than the picture; that margin stays background.
constexpr int kCopiedWidth = 450;
constexpr int kCopiedHeight = 336;
// Held while the guard is on: a guard that sleeps with the machine makes no noise.
void KeepMachineAwake(bool awake)
{
    if (platform::SleepInhibitor* inhibitor = platform::InstalledSleepInhibitor())
        awake ? inhibitor->Hold() : inhibitor->Release();
}
}  // namespace

BEGIN_MESSAGE_MAP(CQwendrikView, CView)
    ON_WM_LBUTTONDOWN()
    ON_COMMAND(ID_WHAT_SHOULD_I_DO, OnWhatShouldIDo)
    ON_COMMAND(ID_WHAT_IS_THIS, OnWhatIsThis)
    ON_COMMAND(ID_TURN_ME_ON, OnTurnMeOn)
    ON_COMMAND(ID_STOP_GUARD, OnStopGuard)
    ON_COMMAND(ID_PROBLEM_REPORT, OnProblemReport)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CQwendrikView::~CQwendrikView()
{
    KeepMachineAwake(false);
}

// Quitting ends the guard as the person's choice; the timer goes with the program.
void CQwendrikView::OnFrameClosedByUser()
{
    if (guardOn != 0)
        ReportGuardStopped();
}

CQwendrikDoc* CQwendrikView::GetDocument() const
{
    return static_cast<CQwendrikDoc*>(CView::GetDocument());
}

BOOL CQwendrikView::PreCreateWindow(CREATESTRUCT& cs)
{
    return CView::PreCreateWindow(cs);
}

void CQwendrikView::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    CFrameWnd* mainWnd = AfxGetMainWnd();
    statusBar = mainWnd ? dynamic_cast<CStatusBar*>(mainWnd->GetDescendantWindow(ID_GUARD_STATUS_BAR)) : nullptr;
    ShowStatus(kGreeting);
    const bool wasOn = guardOn != 0;
    guardOn = 0;
    // A timer left running would go on playing while the window says the guard is off.
    StopGuard();
    if (wasOn)
        ReportGuardStopped();
    KeepMachineAwake(false);
    win::srand(1);
    currentDocument = GetDocument();
    currentDocument->OnOpenDocument(SettingsPath);
}

void CQwendrikView::OnDraw(CDC* pDC)
{
    currentDocument = GetDocument();
    // Loaded at every paint, never kept.
    CDC memoryDC;
    memoryDC.CreateCompatibleDC(pDC);
    CBitmap picture;
    if (!picture.LoadBitmap(IDB_PICTURE))
        return;
    CBitmap* previous = memoryDC.SelectObject(&picture);
    pDC->BitBlt(0, 0, kCopiedWidth, kCopiedHeight, &memoryDC, 0, 0, SRCCOPY);
    memoryDC.SelectObject(previous);
}

void CQwendrikView::RunGuardPass()
{
    if (!::RunGuardPass(*this))
        OnTimerFailed();
}

void CQwendrikView::OnTimerFailed()
{
    guardOn = 0;
    ShowStatus(kGreeting);
    KeepMachineAwake(false);
    ReportGuardStopped();
    platform::InstalledMessenger().ShowWithoutWaiting(
        "Mervo is not on duty: the system would not set the timer that wakes him, so nothing would ever "
        "play. This happens when the system is out of resources; close some programs, then hand him the "
        "cupcake again.");
}

void CQwendrikView::StopGuard()
{
    ::StopGuard(*this);
}

void CQwendrikView::OnTimer(UINT_PTR /*nIDEvent*/)
{
    RunGuardPass();
}

void CQwendrikView::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
    if (guardOn != 0 && InMansion(point)) {
        EndGuard();
    } else if (guardOn == 0 && InCupcake(point)) {
        StartGuard();
    }
}

void CQwendrikView::OnStopGuard()
{
    if (guardOn != 0)
        EndGuard();
}

void CQwendrikView::EndGuard()
{
    win::PlaySoundA(kGuardOffSound, nullptr, 0);
    guardOn = 0;
    ShowStatus(kGreeting);
    StopGuard();
    KeepMachineAwake(false);
    ReportGuardStopped();
}

void CQwendrikView::OnTurnMeOn()
{
    if (guardOn != 0)
        return;
    StartGuard();
}

void CQwendrikView::StartGuard()
{
    win::PlaySoundA(kGuardOnSound, nullptr, 0);
    guardOn = 1;
    KeepMachineAwake(true);
    ShowStatus(kOnDuty);
    PrepareGuardStart();
    RunGuardPass();
}

void CQwendrikView::ShowStatus(const char* text)
{
    if (statusBar)
        statusBar->SetPaneText(0, text, TRUE);
}

void CQwendrikView::OnWhatShouldIDo()
{
    CScheduleDlg dlg;
    dlg.DoModal();
    // Cancel saves too: library edits are made at once and must reach the disk.
    currentDocument->OnSaveDocument(SettingsPath);
    InstalledGuardEvents().ScheduleChanged();
}

void CQwendrikView::OnWhatIsThis()
{
    CHelpDlg dlg;
    dlg.m_text = HelpText();
    dlg.DoModal();
}

void CQwendrikView::OnProblemReport()
{
    CProblemsDlg dlg;
    if (ProblemLog.problemCount == 0) {
        dlg.m_text = kNoProblems;
    } else {
        for (int i = 0; i < ProblemLog.problemCount; ++i)
            dlg.m_text += ProblemLog.problemLines[i] + "\r\n";
    }
    dlg.DoModal();
}
