#pragma once
// When a dialog counts as painted, the way the old window system meant it:
// its window was exposed again after something else covered it (another
// program's window, a dialog it opened, being minimised), never because one
// of its own controls repainted itself.  Drop-down lists, tooltips and
// prompts the dialog shows are its own: what they uncover when they close is
// not an exposure either.
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <functional>

class QWidget;
class QWindow;

class ExposureWatch final : public QObject {
public:
    // Watches `dialog` until this is destroyed; `onExposed` runs on the
    // dialog's thread, once per exposure.
    ExposureWatch(QWidget* dialog, std::function<void()> onExposed);
    ~ExposureWatch() override;
    ExposureWatch(const ExposureWatch&) = delete;
    ExposureWatch& operator=(const ExposureWatch&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsOwnTransient(const QWidget* window) const;
    void OnExpose(const QRegion& localRegion);

    QPointer<QWidget> dialog_;
    QPointer<QWindow> window_;
    std::function<void()> onExposed_;
    // Screen areas that the dialog's own transient windows gave back since
    // the exposure they cause was last seen.
    QRegion ownUncovered_;
};
