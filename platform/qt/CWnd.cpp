#include "CWnd.h"

#include <algorithm>

CWnd::~CWnd()
{
    for (CWnd* child : children_)
        child->parent_ = nullptr;
    if (parent_)
        parent_->RemoveChild(this);
    delete widget_.data();
}

void CWnd::Attach(QWidget* widget, CWnd* parent, UINT id)
{
    widget_ = widget;
    parent_ = parent;
    id_ = id;
    if (parent_)
        parent_->children_.push_back(this);
}

void CWnd::RemoveChild(CWnd* child)
{
    children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
}

CWnd* CWnd::GetDescendantWindow(UINT id) const
{
    for (CWnd* child : children_) {
        if (child->id_ == id)
            return child;
        if (CWnd* found = child->GetDescendantWindow(id))
            return found;
    }
    return nullptr;
}

void CWnd::ShowWindow(int showCommand)
{
    if (!widget_)
        return;
    switch (showCommand) {
    case SW_HIDE:
        widget_->hide();
        break;
    case SW_RESTORE:
        widget_->showNormal();
        break;
    default:
        widget_->show();
        break;
    }
}

BOOL CWnd::IsWindowVisible() const
{
    return widget_ && widget_->isVisible();
}

void CWnd::Invalidate()
{
    if (widget_)
        widget_->update();
}

void CWnd::SetWindowText(const char* text)
{
    if (widget_)
        widget_->setWindowTitle(QString::fromLocal8Bit(text));
}

CString CWnd::GetWindowText() const
{
    return widget_ ? CString(widget_->windowTitle().toLocal8Bit().toStdString()) : CString();
}

void CWnd::DragAcceptFiles(BOOL accept)
{
    if (widget_)
        widget_->setAcceptDrops(accept != FALSE);
}

void CWnd::SendMessage(UINT message)
{
    if (message == WM_CLOSE && widget_)
        widget_->close();
}
