#pragma once
// Driving template dialogs from inside their modal loops.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QString>
#include <functional>
#include <memory>
#include <ostream>

// Failed checks show Qt strings as text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Runs `step` inside the dialog's modal loop once the dialog is shown and
// painted; afterwards a dialog still open is cancelled.  DoModal's result.
template <class Dialog>
int RunWith(Dialog& dlg, const std::function<void(Dialog&)>& step)
{
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg.Window()));
        QTest::qWait(30);  // for the first paint, which refills lists
        step(dlg);
        if (dlg.Window() && dlg.Window()->isVisible())
            dlg.Window()->reject();
    });
    return dlg.DoModal();
}

// Closes a modal window that a step left open, so that a failed step ends
// the test with its name instead of leaving it waiting in that window's loop.
inline void CloseIfLeftOpen(QWidget* modal, const QString& step)
{
    if (!modal->isVisible())
        return;
    ADD_FAILURE() << "the step on \"" << step.toStdString() << "\" left it open";
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}

// Runs `act` once on the next modal window that is not `current`, as soon as
// it is up; a watch that sees none within ten seconds fails.  The window must
// be closed, or be closing, when `act` returns.
inline void OnNextModal(QWidget* current, std::function<void(QWidget*)> act)
{
    auto* watch = new QTimer;
    auto looks = std::make_shared<int>(0);
    QObject::connect(watch, &QTimer::timeout, [watch, current, act, looks] {
        QWidget* modal = QApplication::activeModalWidget();
        if ((!modal || modal == current) && ++*looks < 2000)
            return;
        watch->stop();
        watch->deleteLater();
        if (!modal || modal == current) {
            ADD_FAILURE() << "no modal window came up";
            return;
        }
        const QString title = modal->windowTitle();
        const QPointer<QWidget> watched(modal);
        act(modal);
        // A window closed by `act` may go at once or with the next event.
        QTimer::singleShot(0, [watched, title] {
            if (watched)
                CloseIfLeftOpen(watched, title);
        });
    });
    watch->start(5);
}

inline QPushButton* ButtonOf(QWidget* window, const QString& text)
{
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}
