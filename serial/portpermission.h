#pragma once

#include <QString>

// Why this user may not open the device, and what helps, in words for the
// operator; port names it ("COM1 (/dev/ttyS0)"). A group is named only when that
// group may read and write the device: joining any other group would not help.
QString permissionAdvice(const QString &port, const QString &device);
