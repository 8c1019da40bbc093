#pragma once

#include <QStringList>

// The families of the form's design font on this platform, the first that is
// installed taken (designfont_unix.cpp, designfont_win.cpp). The sizes are the
// design's own on every platform.
QStringList designFontFamilies();
