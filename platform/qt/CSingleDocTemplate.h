#pragma once
// One document, one frame and one view for the whole run.  The first New or
// Open creates them; later ones reload the same document and give the view
// another initial update.
#include <functional>
#include <memory>

#include "CString.h"
#include "WinTypes.h"

class CDocument;
class CFrameWnd;
class CView;

// RUNTIME_CLASS(T) names a class the template creates.
template <class T>
struct RuntimeClass {};
#define RUNTIME_CLASS(theClass) RuntimeClass<theClass>()

class CSingleDocTemplate {
public:
    // Substrings of the document string (the string with the template's id).
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    template <class Document, class Frame, class View>
    CSingleDocTemplate(UINT resourceId, RuntimeClass<Document>, RuntimeClass<Frame>, RuntimeClass<View>)
        : resourceId_(resourceId),
          createDocument_([] { return std::unique_ptr<CDocument>(new Document); }),
          createFrame_([] { return std::unique_ptr<CFrameWnd>(new Frame); }),
          createView_([] { return std::unique_ptr<CView>(new View); })
    {
    }
    ~CSingleDocTemplate();
    CSingleDocTemplate(const CSingleDocTemplate&) = delete;
    CSingleDocTemplate& operator=(const CSingleDocTemplate&) = delete;

    // A new document when `path` is null.  Null when the document could not be
    // made or loaded: a failed first start leaves no window behind, a failed
    // later one leaves the view as it was, without an initial update.
    CDocument* OpenDocumentFile(const char* path);

    UINT GetResourceId() const { return resourceId_; }
    CString GetDocString(DocStringIndex index) const;
    // The file name of the open document, or "Untitled".
    CString GetTitle() const;

    CDocument* GetDocument() const { return document_.get(); }
    CFrameWnd* GetFrame() const { return frame_.get(); }
    CView* GetView() const { return view_.get(); }

private:
    bool CreateFrame();
    void DestroyAll();

    UINT resourceId_;
    std::function<std::unique_ptr<CDocument>()> createDocument_;
    std::function<std::unique_ptr<CFrameWnd>()> createFrame_;
    std::function<std::unique_ptr<CView>()> createView_;
    std::unique_ptr<CDocument> document_;
    std::unique_ptr<CFrameWnd> frame_;
    std::unique_ptr<CView> view_;
    CString pathName_;
};
