#include "tooltiptext.h"

QString toolTipText(const QString &plain)
{
    return QStringLiteral("<p style=\"white-space:pre\">") + plain.toHtmlEscaped()
        + QStringLiteral("</p>");
}
