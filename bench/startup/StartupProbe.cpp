// Hauntwatch's own start (the same steps as its main, the parts beside the
// guard included), stopped at the view's first paint.
#include <QApplication>

#include "CFrameWnd.h"
#include "CQwendrikApp.h"
#include "CView.h"
#include "FirstPaintReport.h"
#include "ProgramParts.h"
#include "RealServices.h"

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("hauntwatch"));
    RealServices services;
    CQwendrikApp app;
    ProgramParts parts(ProgramOptions{});
    parts.JoinTo(app);
    app.SetCommandLine({});
    QApplication::setQuitOnLastWindowClosed(false);
    if (!app.InitInstance())
        return 1;
    FirstPaintReport report(app.m_pMainWnd->GetActiveView()->GetSafeHwnd());
    QApplication::exec();
    app.ExitInstance();
    return 0;
}
