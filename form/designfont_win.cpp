#include "form/designfont.h"

// "MS Sans Serif" is a raster font on Windows, drawn in a few pixel sizes only:
// Qt does not scale it, so at 125 % or 150 % display scaling the form's text
// would be the wrong size or jagged. "Microsoft Sans Serif" is its outline twin,
// with the same metrics and Cyrillic, in every Windows since 2000; Tahoma and
// Segoe UI (the system's UI fonts) stand in where it is missing. Wine has none
// of them and offers the system's own fonts: the narrow ones the Linux build
// prefers follow (see designfont_unix.cpp), so that the captions fit there too.
QStringList designFontFamilies()
{
    return { QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Tahoma"),
        QStringLiteral("Segoe UI"), QStringLiteral("PT Sans"), QStringLiteral("Liberation Sans"),
        QStringLiteral("Arial") };
}
