#include "CSingleDocTemplate.h"

#include <QFileInfo>

#include "CDocument.h"
#include "CFrameWnd.h"
#include "CView.h"
#include "CWinApp.h"
#include "ResourceTables.h"

CSingleDocTemplate::~CSingleDocTemplate()
{
    DestroyAll();
}

bool CSingleDocTemplate::CreateFrame()
{
    document_ = createDocument_();
    view_ = createView_();
    frame_ = createFrame_();
    CCreateContext context{view_.get(), document_.get(), this};
    if (!frame_->LoadFrame(resourceId_, &context)) {
        DestroyAll();
        return false;
    }
    if (CWinApp* app = AfxGetApp(); app && !app->m_pMainWnd)
        app->m_pMainWnd = frame_.get();
    return true;
}

void CSingleDocTemplate::DestroyAll()
{
    if (CWinApp* app = AfxGetApp(); app && frame_ && app->m_pMainWnd == frame_.get())
        app->m_pMainWnd = nullptr;
    // The view's widget lives inside the frame's; the view goes first.
    view_.reset();
    frame_.reset();
    document_.reset();
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* path)
{
    const bool created = !frame_;
    if (created && !CreateFrame())
        return nullptr;
    const BOOL loaded = path ? document_->OnOpenDocument(path) : document_->OnNewDocument();
    if (!loaded) {
        if (created)
            DestroyAll();
        return nullptr;
    }
    pathName_ = path ? path : "";
    if (CWinApp* app = AfxGetApp(); app && path)
        app->AddToRecentFileList(path);
    frame_->InitialUpdateFrame(document_.get(), TRUE);
    return document_.get();
}

CString CSingleDocTemplate::GetDocString(DocStringIndex index) const
{
    CString whole;
    if (!AfxLoadString(resourceId_, whole))
        return CString();
    const std::string& text = whole.str();
    size_t begin = 0;
    for (int i = 0; i < index; ++i) {
        begin = text.find('\n', begin);
        if (begin == std::string::npos)
            return CString();
        ++begin;
    }
    return CString(text.substr(begin, text.find('\n', begin) - begin));
}

CString CSingleDocTemplate::GetTitle() const
{
    if (pathName_.IsEmpty())
        return "Untitled";
    return CString(QFileInfo(QFile::decodeName(pathName_.c_str())).fileName().toLocal8Bit().toStdString());
}
