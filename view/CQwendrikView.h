#pragma once
// The guard view: draws the picture, turns the guard on at the cupcake and
// off at the mansion, hosts the menu commands and owns the guard timer.
#include "CView.h"
#include "Timer.h"

class CQwendrikDoc;
class CStatusBar;

// The frame's status bar and the view's document, as the last initial update found them.
extern CStatusBar* statusBar;
extern CQwendrikDoc* currentDocument;

class CQwendrikView : public CView, public platform::TimerWindow {
public:
    // The end of the program lets go of the machine's sleep inhibitor.
    ~CQwendrikView() override;
    CQwendrikDoc* GetDocument() const;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnInitialUpdate() override;
    void OnDraw(CDC* pDC) override;
    void OnFrameClosedByUser() override;

    void RunGuardPass();
    void StopGuard();
    void OnTimer(UINT_PTR nIDEvent) override;

    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnWhatShouldIDo();
    void OnWhatIsThis();
    void OnTurnMeOn();
    void OnStopGuard();
    void OnProblemReport();

    DECLARE_MESSAGE_MAP()

private:
    // Shared by the cupcake click and "Turn Me On".
    void StartGuard();
    // Shared by the mansion click and the stop command.
    void EndGuard();
    // The guard can no longer wake: it is off, and the person is told why.
    void OnTimerFailed();
    void ShowStatus(const char* text);
};
