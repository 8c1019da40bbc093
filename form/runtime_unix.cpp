#include "form/runtime.h"

bool displayAvailable(QString *why)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    if (why)
        *why = QStringLiteral("no display: neither DISPLAY nor WAYLAND_DISPLAY is set; "
                              "start it from a desktop session (or under xvfb-run)");
    return false;
}
