#include "main_window.h"
#include "runtime.h"

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
    Form1 form;
    form.show();
    return app.exec();
}
