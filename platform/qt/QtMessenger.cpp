#include "QtMessenger.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

#include "CFrameWnd.h"
#include "CWinApp.h"

namespace platform {

namespace {
void Show(QMessageBox::Icon icon, const std::string& text)
{
    if (!qApp) {
        std::fprintf(stderr, "hauntwatch: %s\n", text.c_str());
        return;
    }
    QMessageBox box(icon, QString::fromLocal8Bit(AfxGetAppName().c_str()), QString::fromLocal8Bit(text.c_str()),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}
}  // namespace

void QtMessenger::ShowMessage(const std::string& text)
{
    if (unattended_)
        ShowWithoutWaiting(text);
    else
        Show(QMessageBox::Warning, text);
}

void QtMessenger::ShowNote(const std::string& text)
{
    if (unattended_)
        ShowWithoutWaiting(text);
    else
        Show(QMessageBox::Information, text);
}

void QtMessenger::ShowWithoutWaiting(const std::string& text)
{
    if (!qApp) {
        std::fprintf(stderr, "hauntwatch: %s\n", text.c_str());
        return;
    }
    const QString shown = QString::fromLocal8Bit(text.c_str());
    QMetaObject::invokeMethod(
        qApp,
        [shown] {
            // On the main window, which lives as long as the program: a
            // dialog that happened to be active may be gone before anyone reads it.
            CFrameWnd* frame = AfxGetMainWnd();
            auto* box = new QMessageBox(QMessageBox::Warning, QString::fromLocal8Bit(AfxGetAppName().c_str()), shown,
                                        QMessageBox::Ok, frame ? frame->GetSafeHwnd() : nullptr);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->setWindowModality(Qt::NonModal);
            box->show();
        },
        Qt::QueuedConnection);
}

}  // namespace platform
