#include "keyorigin.h"

QString describeKeyOrigin(const KeyOrigin &origin)
{
    Q_UNUSED(origin);
    return QString();
}
