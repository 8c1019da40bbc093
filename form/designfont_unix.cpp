#include "form/designfont.h"

// "MS Sans Serif" is rarely installed outside Windows. The system's default sans
// serif (often DejaVu Sans) is too wide for the design's sizes and clips
// "интерфейс RS-232", so narrower families with Cyrillic glyphs come first: PT
// Sans (Debian: fonts-paratype) fits every caption with room to spare; Liberation
// Sans (fonts-liberation2) or Arial overruns "COM" by a pixel but is still far
// better than a wide default. The form's style hint covers a system that has none
// of them.
QStringList designFontFamilies()
{
    return { QStringLiteral("MS Sans Serif"), QStringLiteral("PT Sans"),
        QStringLiteral("Liberation Sans"), QStringLiteral("Arial") };
}
