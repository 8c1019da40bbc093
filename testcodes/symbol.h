#pragma once

#include "testcodes/testcodeset.h"

#include <QImage>
#include <QString>

#include <vector>

// A symbol as libzint encodes it, held as its grid of modules with the quiet zone
// its standard asks for, so that it can be drawn module by module at a whole
// number of pixels per module and never resampled.
class Symbol
{
public:
    // Encodes the code with libzint. A symbol libzint refuses, or makes only in a
    // form its standard does not allow, comes back null with the reason in error().
    static Symbol make(const TestCode &code);

    bool isNull() const { return m_width == 0; }
    QString error() const { return m_error; }
    // In modules, quiet zone included.
    int width() const { return m_width; }
    int height() const { return m_height; }
    // Black modules on white, each `pixelsPerModule` pixels square; a null image
    // for a null symbol or a size past what a screen could show.
    QImage image(int pixelsPerModule) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<unsigned char> m_dark; // one per module, row by row
    QString m_error;
};
