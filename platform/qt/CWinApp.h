#pragma once
// The application object: start-up services for InitInstance, the standard
// document, exit and shell commands, and the message loop.
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "CCmdTarget.h"
#include "CRecentFileList.h"
#include "CString.h"

class CCommandLineInfo;
class CDocument;
class CFrameWnd;
class CSingleDocTemplate;
class ShellOpenChannel;

class CWinApp : public CCmdTarget {
public:
    // One at a time; AfxGetApp() answers it.
    CWinApp();
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // FALSE ends the program at once.
    virtual BOOL InitInstance();
    // Destroys the document, frame and view; the process's exit status.
    virtual int ExitInstance();
    // InitInstance, the message loop until the frame closes, ExitInstance.
    int Run();

    // The arguments after the program's name; by default the process's own.
    void SetCommandLine(std::vector<CString> arguments) { arguments_ = std::move(arguments); }

    // Null when the document could not be opened (the user has been told).
    CDocument* OpenDocumentFile(const char* path);
    void AddToRecentFileList(const char* path);
    const CRecentFileList* GetRecentFileList() const { return recentFiles_.get(); }
    CSingleDocTemplate* GetDocTemplate() const { return docTemplate_.get(); }

    // Open requests from later starts wait while a modal window is up.
    void ProcessPendingShellOpens();

    // Options of this start that a program already running for the same
    // home folder should act on when this start hands over to it; and what
    // the running program does with such options from later starts.
    void SetOptionsToHandOver(QStringList options) { optionsToHandOver_ = std::move(options); }
    void SetHandedOverOptionHandler(std::function<void(const QString&)> handler) { optionHandler_ = std::move(handler); }
    // Whether this start found another program running and handed over to it.
    bool HandedOver() const { return anotherInstanceRuns_; }

    // What runs once the main window is up: after its first paint, with no
    // start-up message waiting.  The main frame calls OnMainWindowUp.
    void WhenMainWindowUp(std::function<void(CFrameWnd&)> handler) { mainWindowUp_ = std::move(handler); }
    void OnMainWindowUp(CFrameWnd& frame);

    CFrameWnd* m_pMainWnd = nullptr;

    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();

    DECLARE_MESSAGE_MAP()

protected:
    void Enable3dControls();
    void LoadStdProfileSettings(UINT maxRecentFiles);
    // Takes ownership.
    void AddDocTemplate(CSingleDocTemplate* docTemplate);
    void EnableShellOpen();
    void RegisterShellFileTypes(BOOL compatibility);
    void ParseCommandLine(CCommandLineInfo& info);
    BOOL ProcessShellCommand(CCommandLineInfo& info);

    // The open dialog; empty when cancelled.
    virtual CString DoPromptFileName();

private:
    void OnShellOpenRequest(const QString& path);

    std::optional<std::vector<CString>> arguments_;
    std::unique_ptr<CSingleDocTemplate> docTemplate_;
    std::unique_ptr<CRecentFileList> recentFiles_;
    std::unique_ptr<ShellOpenChannel> shellChannel_;
    bool anotherInstanceRuns_ = false;
    std::deque<QString> pendingShellOpens_;
    QStringList optionsToHandOver_;
    std::function<void(CFrameWnd&)> mainWindowUp_;
    std::function<void(const QString&)> optionHandler_;
    bool openingFromShell_ = false;
    int exitCode_ = 1;
};

CWinApp* AfxGetApp();
CFrameWnd* AfxGetMainWnd();
// The application title: string AFX_IDS_APP_TITLE.
CString AfxGetAppName();
