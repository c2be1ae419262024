#pragma once
// The "Hours, Levels and Excerpts" item of the main window's menu and the
// one dialog it opens.
#include <QObject>
#include <QPointer>

class GuardAccess;
class QMenu;
class QWidget;

namespace lifelike {

class ExtrasDialog;

class LifelikeModule final : public QObject {
    Q_OBJECT
public:
    explicit LifelikeModule(GuardAccess& guard) : guard_(guard) {}
    ~LifelikeModule() override;

    void AttachTo(QWidget& window, QMenu& menu);
    // Opens the dialog (or raises the one open).
    ExtrasDialog* ShowDialog(QWidget* parent);

private:
    GuardAccess& guard_;
    QPointer<ExtrasDialog> dialog_;
};

}  // namespace lifelike
