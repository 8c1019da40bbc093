#include "form/main_window.h"
#include "form/qttranslations.h"
#include "form/runtime.h"

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    QString why;
    if (!displayAvailable(&why)) {
        std::fprintf(stderr, "orvatek: %s\n", why.toLocal8Bit().constData());
        return 1;
    }
    auto guard = std::make_unique<StartupGuard>();
    Runtime app(argc, argv);
    guard.reset();
    // Lets the desktop match the window to the installed menu entry and its icon
    // (on Wayland the window's own icon is not used at all).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvatek.Orvatek"));
    if (!installQtTranslations(&why))
        std::fprintf(
            stderr, "orvatek: %s; Qt's own texts stay in English\n", why.toLocal8Bit().constData());
    Form1 form;
    form.show();
    return app.exec();
}
