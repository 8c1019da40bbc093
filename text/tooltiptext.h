#pragma once

#include <QString>

// A tooltip that shows plain text as it is: markup literally, lines as given,
// none broken (Qt wraps a rich-text tooltip at a width of its own choosing, and
// a device path would break after any "/").
QString toolTipText(const QString &plain);
