#include "QtApp_p.h"

#include <QApplication>
#include <QCoreApplication>

#include <mutex>

void EnsureQtApplication() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (QCoreApplication::instance())
            return;
        // Qt keeps references to argc and argv for the application's whole life.
        static int argc = 1;
        static char name[] = "configurator";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);  // lives until the process ends
    });
}
