#include "main_window.h"
#include "runtime.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    QString why;
    if (!displayAvailable(&why)) {
        std::fprintf(stderr, "orvatek: %s\n", why.toLocal8Bit().constData());
        return 1;
    }
    Runtime app(argc, argv);
    Form1 form;
    form.show();
    return app.exec();
}
