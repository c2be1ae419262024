// The composition root: Qt, the real services, the one application object.
#include <QApplication>

#include "CQwendrikApp.h"
#include "RealServices.h"

// In sanitizer builds: Qt, fontconfig and D-Bus keep caches for the life of
// the process, which LeakSanitizer would report at every exit.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=0";
}

CQwendrikApp theApp;

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    // Ties the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("hauntwatch"));
    RealServices services;
    return theApp.Run();
}
