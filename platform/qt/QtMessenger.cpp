#include "QtMessenger.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

#include "CWinApp.h"

namespace platform {

void QtMessenger::ShowMessage(const std::string& text)
{
    if (!qApp) {
        std::fprintf(stderr, "hauntwatch: %s\n", text.c_str());
        return;
    }
    QMessageBox box(QMessageBox::Warning, QString::fromLocal8Bit(AfxGetAppName().c_str()),
                    QString::fromLocal8Bit(text.c_str()), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

}  // namespace platform
