#include "CFrameWnd.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QUrl>

#include "CSingleDocTemplate.h"
#include "CStatusBar.h"
#include "CView.h"
#include "CWinApp.h"
#include "ResourceTables.h"

namespace {

std::vector<CString> LocalFiles(const QMimeData* data)
{
    std::vector<CString> paths;
    if (!data)
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths.emplace_back(QFile::encodeName(url.toLocalFile()).toStdString());
    return paths;
}

class FrameWidget final : public QMainWindow {
public:
    explicit FrameWidget(CFrameWnd& frame) : frame_(frame) { qApp->installEventFilter(this); }
    ~FrameWidget() override { qApp->removeEventFilter(this); }

    // The size the window has on the screen, its frame included.  Qt sizes
    // the inside; the frame a window manager adds is known only once it has
    // taken the window, so the inside is made smaller then, once.
    void SetOuterSize(QSize outer)
    {
        outer_ = outer;
        resize(outer);
    }

protected:
    bool event(QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
            FitOuterSize();
            break;
        case QEvent::StatusTip:
            // Menu prompts never reach the text pane: only the view writes it.
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            frame_.OnKeyStateMayHaveChanged();
            break;
        case QEvent::WindowActivate:
            frame_.OnActivate();
            break;
        case QEvent::UpdateRequest:
        case QEvent::Paint:
            if (!painted_) {
                painted_ = true;
                // Once the first picture is out; whatever waits for the
                // window must not hold it up.
                QMetaObject::invokeMethod(this, [this] { frame_.OnFirstPaint(); }, Qt::QueuedConnection);
            }
            break;
        default:
            break;
        }
        return QMainWindow::event(event);
    }

    // The application is told to quit before it closes its windows when a
    // session manager ends the session; the person's close (the close box,
    // "&Quit") comes to the window first.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == qApp && event->type() == QEvent::Quit)
            quitCameFirst_ = true;
        return false;
    }

    void closeEvent(QCloseEvent* event) override
    {
        event->accept();
        frame_.OnClose(!quitCameFirst_ || frame_.ExitRequested());
    }

    void dragEnterEvent(QDragEnterEvent* event) override
    {
        if (!LocalFiles(event->mimeData()).empty())
            event->acceptProposedAction();
    }

    void dropEvent(QDropEvent* event) override
    {
        const std::vector<CString> paths = LocalFiles(event->mimeData());
        if (paths.empty())
            return;
        event->acceptProposedAction();
        // The program the files came from waits until the drop returns: any
        // message box the opening shows must not hold it up.
        QMetaObject::invokeMethod(
            this, [this, paths] { frame_.OnDropFiles(paths); }, Qt::QueuedConnection);
    }

private:
    void FitOuterSize()
    {
        if (outerFitted_ || !outer_.isValid() || !isVisible() || windowState() != Qt::WindowNoState)
            return;
        const QSize frame = frameGeometry().size() - size();
        if (frame.width() <= 0 && frame.height() <= 0)
            return;
        outerFitted_ = true;
        resize(outer_ - frame);
    }

    CFrameWnd& frame_;
    bool painted_ = false;
    bool quitCameFirst_ = false;
    QSize outer_;
    bool outerFitted_ = false;
};

void AddMenuItems(QWidget& menu, const std::vector<MenuItemResource>& items, CFrameWnd& frame)
{
    for (const MenuItemResource& item : items) {
        const QString text = QString::fromLocal8Bit(item.text);
        if (!item.popup.empty()) {
            auto* popup = new QMenu(text, &menu);
            AddMenuItems(*popup, item.popup, frame);
            menu.addAction(popup->menuAction());
            continue;
        }
        auto* action = new QAction(text, &menu);
        const UINT id = item.commandId;
        QObject::connect(action, &QAction::triggered, action, [&frame, id] { frame.OnCmdMsg(id); });
        menu.addAction(action);
    }
}

// The document lists no commands; its empty table keeps its place in the route.
CCmdTarget documentCommands;

}  // namespace

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& /*cs*/)
{
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, CCreateContext* context)
{
    CREATESTRUCT cs;
    cs.style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE;
    cs.lpCreateParams = context;
    if (!PreCreateWindow(cs))
        return FALSE;
    style_ = cs.style;
    docTemplate_ = context ? context->docTemplate : nullptr;

    auto* window = new FrameWidget(*this);
    Attach(window, nullptr, 0);
    if (cs.cx != CW_USEDEFAULT && cs.cy != CW_USEDEFAULT)
        window->SetOuterSize(QSize(cs.cx, cs.cy));
    const QString icon = QStringLiteral(":/res/%1.png").arg(resourceId);
    // Every window of the program, message boxes and the file picker
    // included, carries the program's icon.
    if (QFile::exists(icon))
        QApplication::setWindowIcon(QIcon(icon));
    BuildMenu(*window, resourceId);
    BuildAccelerators(*window, resourceId);
    OnUpdateFrameTitle();

    Msg create;
    create.message = WM_CREATE;
    create.createStruct = &cs;
    return (Dispatch(create) && create.result == -1) ? FALSE : TRUE;
}

void CFrameWnd::BuildMenu(QMainWindow& window, UINT resourceId)
{
    if (const MenuResource* menu = AfxFindMenu(resourceId))
        AddMenuItems(*window.menuBar(), menu->items, *this);
}

QMenu* CFrameWnd::PopupMenu(int position) const
{
    auto* window = qobject_cast<QMainWindow*>(GetSafeHwnd());
    if (!window || position < 0 || position >= window->menuBar()->actions().size())
        return nullptr;
    return window->menuBar()->actions().at(position)->menu();
}

void CFrameWnd::OnFirstPaint()
{
    if (up_)
        return;
    up_ = true;
    if (CWinApp* app = AfxGetApp(); app && AfxGetMainWnd() == this)
        app->OnMainWindowUp(*this);
}

void CFrameWnd::BuildAccelerators(QMainWindow& window, UINT resourceId)
{
    const AcceleratorTableResource* table = AfxFindAccelerators(resourceId);
    if (!table)
        return;
    for (const AcceleratorResource& entry : table->entries) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(entry.keys)), &window);
        shortcut->setContext(Qt::WindowShortcut);
        const UINT id = entry.commandId;
        QObject::connect(shortcut, &QShortcut::activated, shortcut, [this, id] { OnCmdMsg(id); });
    }
}

int CFrameWnd::OnCreate(LPCREATESTRUCT cs)
{
    auto* context = cs ? static_cast<CCreateContext*>(cs->lpCreateParams) : nullptr;
    if (!context || !context->newView)
        return 0;
    if (!context->newView->Create(this, context->currentDocument))
        return -1;
    activeView_ = context->newView;
    return 0;
}

bool CFrameWnd::OnCmdMsg(UINT id)
{
    const Msg command = CommandMessage(id);
    CCmdTarget* const route[] = {activeView_, &documentCommands, this, AfxGetApp()};
    for (CCmdTarget* target : route)
        if (target && target->Dispatch(command))
            return true;
    return false;
}

void CFrameWnd::InitialUpdateFrame(CDocument* /*document*/, BOOL makeVisible)
{
    if (activeView_)
        activeView_->OnInitialUpdate();
    if (makeVisible)
        ActivateFrame();
    OnUpdateFrameTitle();
}

void CFrameWnd::ActivateFrame()
{
    QWidget* window = GetSafeHwnd();
    if (!window)
        return;
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

void CFrameWnd::OnUpdateFrameTitle()
{
    if (!docTemplate_)
        return;
    CString title = docTemplate_->GetDocString(CSingleDocTemplate::windowTitle);
    if (style_ & FWS_ADDTOTITLE)
        title += " - " + docTemplate_->GetTitle();
    SetWindowText(title);
}

void CFrameWnd::OnClose(bool byUser)
{
    if (closed_)
        return;
    closed_ = true;
    if (activeView_ && byUser)
        activeView_->OnFrameClosedByUser();
    // Nothing is ever marked modified, so there is nothing to ask.
    QCoreApplication::quit();
}

void CFrameWnd::OnDropFiles(const std::vector<CString>& paths)
{
    ActivateFrame();
    // One document at a time: the first file dropped is the one opened.
    if (CWinApp* app = AfxGetApp(); app && !paths.empty())
        app->OpenDocumentFile(paths.front());
}

void CFrameWnd::OnKeyStateMayHaveChanged()
{
    if (statusBar_)
        statusBar_->UpdateLockIndicators();
}

void CFrameWnd::OnActivate()
{
    OnKeyStateMayHaveChanged();
    if (CWinApp* app = AfxGetApp())
        app->ProcessPendingShellOpens();
}
