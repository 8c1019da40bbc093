#include "form/main_window.h"
#include "form/runtime.h"
#include "serial/serialcontrol.h"

#include <cstdio>

// The real form with port number 1 opening the device named on the command line,
// such as one end of a pseudo-terminal pair, so that anyone can watch the form
// take a scan without a scanner. The program itself only ever opens listed
// serial devices.
int main(int argc, char *argv[])
{
    QString why;
    if (!displayAvailable(&why)) {
        std::fprintf(stderr, "manual_form: %s\n", why.toLocal8Bit().constData());
        return 1;
    }
    Runtime app(argc, argv);
    const QStringList arguments = Runtime::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: manual_form DEVICE   (COM1 opens DEVICE)\n");
        return 2;
    }
    const QString device = arguments.at(1);
    Form1 form;
    form.findChild<SerialControl *>(QStringLiteral("MSComm1"))->setPortMapper([device] {
        return QList<MappedPort> { { 1, device, QStringLiteral("from the command line") } };
    });
    form.show();
    return app.exec();
}
