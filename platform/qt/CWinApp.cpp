#include "CWinApp.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <cstdio>
#include <utility>

#include "AfxRes.h"
#include "CCommandLineInfo.h"
#include "CFrameWnd.h"
#include "CSingleDocTemplate.h"
#include "HomeFolder.h"
#include "ResourceTables.h"
#include "ShellOpenChannel.h"

namespace {
CWinApp* currentApp = nullptr;

std::vector<CString> ProcessArguments()
{
    std::vector<CString> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i)
        arguments.emplace_back(QFile::encodeName(all[i]).toStdString());
    return arguments;
}

// What a file named to a second start means to the running program, which
// may have another working folder.  A "c:\qwendrik\" name means the home
// folder's file wherever it is given, so it goes over as it is.
QString MeaningForRunningProgram(const CString& path)
{
    if (platform::HomePath(path.str()) != path.str())
        return QFile::decodeName(QByteArray(path.str().data(), static_cast<qsizetype>(path.str().size())));
    return QFileInfo(QFile::decodeName(path.c_str())).absoluteFilePath();
}
}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp* AfxGetApp()
{
    return currentApp;
}

CFrameWnd* AfxGetMainWnd()
{
    return currentApp ? currentApp->m_pMainWnd : nullptr;
}

CString AfxGetAppName()
{
    CString title;
    AfxLoadString(AFX_IDS_APP_TITLE, title);
    return title;
}

CWinApp::CWinApp()
{
    currentApp = this;
}

CWinApp::~CWinApp()
{
    docTemplate_.reset();
    if (currentApp == this)
        currentApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    docTemplate_.reset();
    shellChannel_.reset();
    return exitCode_;
}

int CWinApp::Run()
{
    // The program ends when its frame closes, not when a message box shown
    // before the frame happens to be the last window.
    QApplication::setQuitOnLastWindowClosed(false);
    if (InitInstance())
        exitCode_ = QApplication::exec();
    return ExitInstance();
}

void CWinApp::Enable3dControls()
{
    // Qt's styles already draw dialogs and controls in relief.
}

void CWinApp::LoadStdProfileSettings(UINT maxRecentFiles)
{
    recentFiles_ = std::make_unique<CRecentFileList>(static_cast<int>(maxRecentFiles));
    recentFiles_->ReadList();
}

void CWinApp::AddDocTemplate(CSingleDocTemplate* docTemplate)
{
    docTemplate_.reset(docTemplate);
}

void CWinApp::EnableShellOpen()
{
    shellChannel_ = std::make_unique<ShellOpenChannel>(QFile::decodeName(platform::HomeFolder().c_str()));
    anotherInstanceRuns_ = !shellChannel_->Claim();
    if (anotherInstanceRuns_)
        return;
    QObject::connect(shellChannel_.get(), &ShellOpenChannel::openRequested, shellChannel_.get(),
                     [this](const QString& path) { OnShellOpenRequest(path); });
    QObject::connect(shellChannel_.get(), &ShellOpenChannel::optionHandedOver, shellChannel_.get(),
                     [this](const QString& option) {
                         if (optionHandler_)
                             optionHandler_(option);
                     });
}

void CWinApp::RegisterShellFileTypes(BOOL /*compatibility*/)
{
    // The desktop entry and the MIME type of .hwt files are installed with the
    // program, so nothing is registered at run time.  Print requests have no
    // handler and are not offered.
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info)
{
    if (!arguments_)
        arguments_ = ProcessArguments();
    for (const CString& argument : *arguments_)
        info.ParseParam(argument);
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info)
{
    if (anotherInstanceRuns_) {
        // Two guards would play every noise twice and overwrite each other's settings.
        const QString path = info.m_nShellCommand == CCommandLineInfo::FileOpen ? MeaningForRunningProgram(info.m_strFileName) : QString();
        if (shellChannel_->Forward(path, optionsToHandOver_)) {
            exitCode_ = 0;
        } else {
            std::fprintf(stderr, "hauntwatch: another Hauntwatch runs for %s but does not answer\n",
                         platform::HomeFolder().c_str());
            exitCode_ = 1;
        }
        return FALSE;
    }
    if (info.m_nShellCommand == CCommandLineInfo::FileOpen) {
        if (!OpenDocumentFile(info.m_strFileName))
            return FALSE;
    } else {
        OnFileNew();
    }
    if (!m_pMainWnd)
        return FALSE;
    ProcessPendingShellOpens();
    return TRUE;
}

CDocument* CWinApp::OpenDocumentFile(const char* path)
{
    return docTemplate_ ? docTemplate_->OpenDocumentFile(path) : nullptr;
}

void CWinApp::AddToRecentFileList(const char* path)
{
    if (recentFiles_)
        recentFiles_->Add(path);
}

void CWinApp::OnFileNew()
{
    if (docTemplate_)
        docTemplate_->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen()
{
    const CString path = DoPromptFileName();
    if (!path.IsEmpty())
        OpenDocumentFile(path);
}

CString CWinApp::DoPromptFileName()
{
    const CString filter = docTemplate_ ? docTemplate_->GetDocString(CSingleDocTemplate::filterName) : CString();
    QFileDialog dialog(m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr, QStringLiteral("Open"), QString(),
                       QString::fromLocal8Bit(filter.c_str()));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return CString();
    return CString(QFile::encodeName(dialog.selectedFiles().front()).toStdString());
}

void CWinApp::OnAppExit()
{
    if (!m_pMainWnd)
        return;
    m_pMainWnd->RequestExit();
    m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::OnMainWindowUp(CFrameWnd& frame)
{
    if (const auto handler = std::exchange(mainWindowUp_, nullptr))
        handler(frame);
}

void CWinApp::OnShellOpenRequest(const QString& path)
{
    pendingShellOpens_.push_back(path);
    ProcessPendingShellOpens();
}

void CWinApp::ProcessPendingShellOpens()
{
    if (openingFromShell_ || !m_pMainWnd || QApplication::activeModalWidget())
        return;
    openingFromShell_ = true;
    while (!pendingShellOpens_.empty()) {
        const QString path = pendingShellOpens_.front();
        pendingShellOpens_.pop_front();
        if (!path.isEmpty())
            OpenDocumentFile(QFile::encodeName(path).constData());
        if (m_pMainWnd)
            m_pMainWnd->ActivateFrame();
    }
    openingFromShell_ = false;
}
