#include "LifelikeModule.h"

#include <QAction>
#include <QMenu>

#include "ExtrasDialog.h"
#include "GuardRealism.h"

namespace lifelike {

LifelikeModule::~LifelikeModule()
{
    delete dialog_;
}

void LifelikeModule::AttachTo(QWidget& window, QMenu& menu)
{
    auto* action = menu.addAction(QString::fromUtf8("&Hours, Levels and Excerpts\u2026"));
    action->setObjectName(QStringLiteral("hoursLevelsExcerpts"));
    connect(action, &QAction::triggered, this, [this, &window] { ShowDialog(&window); });
}

ExtrasDialog* LifelikeModule::ShowDialog(QWidget* parent)
{
    if (!dialog_ || !dialog_->isVisible()) {
        dialog_ = new ExtrasDialog(guard_, ExtrasPath(), parent);
        dialog_->setAttribute(Qt::WA_DeleteOnClose);
        dialog_->open();
    }
    dialog_->raise();
    dialog_->activateWindow();
    return dialog_;
}

}  // namespace lifelike
