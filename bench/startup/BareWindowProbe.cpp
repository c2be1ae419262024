// The reference: a bare QMainWindow with a menu bar and a status bar.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "FirstPaintReport.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(460, 395);
    window.setWindowTitle("Bare");
    window.menuBar()->addAction("&First");
    window.menuBar()->addAction("&Second");
    window.menuBar()->addMenu("&Popup")->addAction("Item");
    window.statusBar()->addWidget(new QLabel("Ready"), 1);
    auto* client = new QWidget;
    window.setCentralWidget(client);
    FirstPaintReport report(client);
    window.show();
    return app.exec();
}
