#include "ExposureWatch.h"

#include <QApplication>
#include <QEvent>
#include <QExposeEvent>
#include <QMessageBox>
#include <QWidget>
#include <QWindow>
#include <QWindowStateChangeEvent>

namespace {

// A window manager may draw a pixel or two of border or shadow outside
// what Qt reports as the frame.
constexpr int kFrameSlack = 4;

}  // namespace

ExposureWatch::ExposureWatch(QWidget* dialog, std::function<void()> onExposed)
    : dialog_(dialog), onExposed_(std::move(onExposed))
{
    // The top-level's native window is where exposures arrive; widgets
    // themselves only ever see paints.
    dialog->winId();
    window_ = dialog->windowHandle();
    // One filter on the application sees the window's exposures, the
    // dialog's state changes and every other window hiding.
    qApp->installEventFilter(this);
}

ExposureWatch::~ExposureWatch()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool ExposureWatch::IsOwnTransient(const QWidget* window) const
{
    if (!dialog_ || window == dialog_ || !window->isWindow())
        return false;
    const Qt::WindowType type = window->windowType();
    return type == Qt::Popup || type == Qt::ToolTip || qobject_cast<const QMessageBox*>(window) != nullptr;
}

bool ExposureWatch::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Expose:
        if (watched == window_ && window_->isExposed()) {
            QT_WARNING_PUSH
            QT_WARNING_DISABLE_DEPRECATED
            OnExpose(static_cast<QExposeEvent*>(event)->region());
            QT_WARNING_POP
        }
        break;
    case QEvent::Hide:
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && IsOwnTransient(widget))
            ownUncovered_ += widget->frameGeometry().adjusted(-kFrameSlack, -kFrameSlack, kFrameSlack, kFrameSlack);
        break;
    case QEvent::WindowStateChange:
        // Platforms that keep a minimised window's contents send no exposure
        // when it comes back; it was covered all the same.
        if (watched == dialog_ && (static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized) &&
            !(dialog_->windowState() & Qt::WindowMinimized) && onExposed_)
            onExposed_();
        break;
    default:
        break;
    }
    return false;
}

void ExposureWatch::OnExpose(const QRegion& localRegion)
{
    if (!window_ || !onExposed_)
        return;
    const QRegion exposed = localRegion.isEmpty() ? QRegion(QRect(QPoint(), window_->size())) : localRegion;
    const QRegion onScreen = exposed.translated(window_->mapToGlobal(QPoint(0, 0)));
    const QRegion uncoveredByOthers = onScreen - ownUncovered_;
    // An own window's area is given back once: a later exposure there has another cause.
    QRegion stillPending;
    for (const QRect& rect : ownUncovered_)
        if (!onScreen.intersects(rect))
            stillPending += rect;
    ownUncovered_ = stillPending;
    if (!uncoveredByOthers.isEmpty())
        onExposed_();
}
