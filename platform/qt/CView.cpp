#include "CView.h"

#include <QMainWindow>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include "CDC.h"
#include "CFrameWnd.h"

namespace {

UINT MouseFlags(const QMouseEvent& event)
{
    UINT flags = 0;
    if (event.buttons() & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (event.modifiers() & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (event.modifiers() & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

// Hands paints and presses of the left button to the view's message map;
// everything, handled or not, then gets Qt's default processing.
class ViewWidget final : public QWidget {
public:
    ViewWidget(CView& view, QWidget* parent) : QWidget(parent), view_(view)
    {
        // The system's window colour behind and beside the picture.
        setBackgroundRole(QPalette::Base);
        setAutoFillBackground(true);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        Msg msg;
        msg.message = WM_PAINT;
        view_.Dispatch(msg);
        QWidget::paintEvent(event);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) {
            Msg msg;
            msg.message = WM_LBUTTONDOWN;
            msg.flags = MouseFlags(*event);
            const QPoint at = event->position().toPoint();
            msg.point = CPoint{at.x(), at.y()};
            view_.Dispatch(msg);
        }
        QWidget::mousePressEvent(event);
    }

private:
    CView& view_;
};

}  // namespace

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CView::PreCreateWindow(CREATESTRUCT& /*cs*/)
{
    return TRUE;
}

BOOL CView::Create(CFrameWnd* frame, CDocument* document)
{
    auto* frameWidget = frame ? qobject_cast<QMainWindow*>(frame->GetSafeHwnd()) : nullptr;
    if (!frameWidget)
        return FALSE;
    CREATESTRUCT cs;
    cs.style = WS_CHILD | WS_VISIBLE;
    if (!PreCreateWindow(cs))
        return FALSE;
    document_ = document;
    frame_ = frame;
    auto* widget = new ViewWidget(*this, frameWidget);
    Attach(widget, frame, 0);
    frameWidget->setCentralWidget(widget);
    return TRUE;
}

void CView::OnInitialUpdate()
{
    Invalidate();
}

void CView::OnPaint()
{
    QPainter painter(GetSafeHwnd());
    CDC dc(painter);
    OnDraw(&dc);
}
