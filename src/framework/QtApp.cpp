#include "QtApp_p.h"

#include "Graphics_p.h"
#include "Themes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>

#include <cstdlib>
#include <mutex>

namespace {

// Tells the windows when the desktop's font changes.
class TFontWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::ApplicationFontChange)
            SystemFontChanged();
        return false;
    }
};

}  // namespace

void EnsureQtApplication() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (QCoreApplication::instance())
            return;
        // Without any display (a build machine, a test run) draw off screen
        // rather than abort.
        if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
            setenv("QT_QPA_PLATFORM", "offscreen", 0);
        // Qt keeps references to argc and argv for the application's whole life.
        static int argc = 1;
        static char name[] = "configurator";
        static char* argv[] = {name, nullptr};
        auto* app = new QApplication(argc, argv);  // lives until the process ends
        app->installEventFilter(new TFontWatch);
        RegisterFontFiles();
    });
}
