#include "CQwendrikApp.h"

#include <QtGlobal>

#include "CAboutDlg.h"
#include "CCommandLineInfo.h"
#include "CFrameWnd.h"
#include "CMainFrame.h"
#include "CQwendrikDoc.h"
#include "CQwendrikView.h"
#include "CSingleDocTemplate.h"
#include "MenuResources.h"

// The picture and icons sit in a static library that nothing else refers to.
// Q_INIT_RESOURCE has to be called from the global namespace.
static void LoadPictureResources()
{
#ifdef HAUNTWATCH_HAS_QRC
    Q_INIT_RESOURCE(hauntwatch);
#endif
}

BEGIN_MESSAGE_MAP(CQwendrikApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
END_MESSAGE_MAP()

CQwendrikApp::CQwendrikApp()
{
    AfxSetResources(&MenuResources());
    LoadPictureResources();
}

BOOL CQwendrikApp::InitInstance()
{
    Enable3dControls();
    LoadStdProfileSettings(4);

    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CQwendrikDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(CQwendrikView)));

    EnableShellOpen();
    RegisterShellFileTypes(TRUE);

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo))
        return FALSE;

    m_pMainWnd->DragAcceptFiles(TRUE);
    return TRUE;
}

void CQwendrikApp::OnAppAbout()
{
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}
