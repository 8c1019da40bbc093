#include "testcodes/symbol.h"

#include <zint.h>

#include <cstring>
#include <memory>

namespace {

// How a linear symbol's bars are drawn: libzint gives one row of modules, its
// height is ours. EAN-13's nominal bars are 69 modules high (22.85 mm at an X of
// 0.33 mm, GS1 General Specifications, EAN/UPC symbol dimensions); 60 keeps the
// wider symbols on a screen at three pixels a module and reads as well.
constexpr int linearBarHeight = 60;

struct Layout
{
    int symbology;
    int inputMode;
    int option3;
    // Quiet zones in modules, each the least its standard allows.
    int left;
    int right;
    int vertical;
    int rowHeight; // modules per row that libzint gives
};

Layout layoutOf(Symbology symbology)
{
    switch (symbology) {
    case Symbology::Ean13: // 11 left, 7 right (ISO/IEC 15420)
        return { BARCODE_EANX, DATA_MODE, 0, 11, 7, 0, linearBarHeight };
    case Symbology::Code128: // 10X both sides (ISO/IEC 15417)
        return { BARCODE_CODE128, DATA_MODE, 0, 10, 10, 0, linearBarHeight };
    case Symbology::Gs1_128:
        return { BARCODE_GS1_128, GS1_MODE, 0, 10, 10, 0, linearBarHeight };
    case Symbology::Gs1DataMatrix: // 1X all round (ISO/IEC 16022); square sizes only
        return { BARCODE_DATAMATRIX, GS1_MODE, DM_SQUARE, 1, 1, 1, 1 };
    case Symbology::DataMatrix:
        return { BARCODE_DATAMATRIX, DATA_MODE, DM_SQUARE, 1, 1, 1, 1 };
    case Symbology::QrCode: // 4X all round (ISO/IEC 18004). The content's own bytes
        // in byte mode, so no ECI is added and the UTF-8 stays as it is.
        return { BARCODE_QRCODE, DATA_MODE, 0, 4, 4, 4, 1 };
    case Symbology::Code39: // 10X (ISO/IEC 16388)
        return { BARCODE_CODE39, DATA_MODE, 0, 10, 10, 0, linearBarHeight };
    case Symbology::Itf14: // 10X (GS1 General Specifications, ITF-14 symbol dimensions)
        return { BARCODE_ITF14, DATA_MODE, 0, 10, 10, 0, linearBarHeight };
    case Symbology::Pdf417: // 2X all round, rows 3X high (ISO/IEC 15438)
        return { BARCODE_PDF417, DATA_MODE, 0, 2, 2, 2, 3 };
    }
    return {};
}

struct ZintDelete
{
    void operator()(zint_symbol *symbol) const { ZBarcode_Delete(symbol); }
};

// libzint packs a row's modules eight to a byte, the first in the lowest bit.
bool moduleSet(const zint_symbol &symbol, int row, int column)
{
    return (symbol.encoded_data[row][column / 8] >> (column % 8)) & 1;
}

} // namespace

Symbol Symbol::make(const TestCode &code)
{
    Symbol result;
    const Layout layout = layoutOf(code.symbology);
    const std::unique_ptr<zint_symbol, ZintDelete> zs(ZBarcode_Create());
    if (!zs) {
        result.m_error = QStringLiteral("libzint: не хватило памяти");
        return result;
    }
    zs->symbology = layout.symbology;
    zs->input_mode = layout.inputMode;
    zs->option_3 = layout.option3;
    // A symbol its standard does not allow would test the scanner on something no
    // label carries: a warning fails like an error.
    zs->warn_level = WARN_FAIL_ALL;
    const QByteArray &input = code.encoderInput.isEmpty() ? code.content : code.encoderInput;
    const int status = ZBarcode_Encode(
        zs.get(), reinterpret_cast<const unsigned char *>(input.constData()), int(input.size()));
    if (status != 0 || zs->rows <= 0 || zs->width <= 0) {
        zs->errtxt[sizeof zs->errtxt - 1] = '\0';
        result.m_error
            = QStringLiteral("libzint не построил символ: ") + QString::fromUtf8(zs->errtxt);
        return result;
    }

    const int width = layout.left + zs->width + layout.right;
    const int height = 2 * layout.vertical + zs->rows * layout.rowHeight;
    result.m_dark.assign(size_t(width) * size_t(height), 0);
    for (int row = 0; row < zs->rows; ++row) {
        for (int line = 0; line < layout.rowHeight; ++line) {
            const int y = layout.vertical + row * layout.rowHeight + line;
            unsigned char *out = result.m_dark.data() + size_t(y) * size_t(width) + layout.left;
            for (int column = 0; column < zs->width; ++column)
                out[column] = moduleSet(*zs, row, column);
        }
    }
    result.m_width = width;
    result.m_height = height;
    return result;
}

QImage Symbol::image(int pixelsPerModule) const
{
    // Far beyond any screen; keeps the multiplications below in range.
    constexpr int maxSide = 1 << 14;
    if (isNull() || pixelsPerModule < 1 || pixelsPerModule > maxSide / m_width
        || pixelsPerModule > maxSide / m_height)
        return {};
    QImage image(m_width * pixelsPerModule, m_height * pixelsPerModule, QImage::Format_Grayscale8);
    if (image.isNull())
        return {};
    for (int y = 0; y < m_height; ++y) {
        uchar *first = image.scanLine(y * pixelsPerModule);
        const unsigned char *modules = m_dark.data() + size_t(y) * size_t(m_width);
        for (int x = 0; x < m_width; ++x)
            std::memset(first + x * pixelsPerModule, modules[x] ? 0 : 255, size_t(pixelsPerModule));
        for (int line = 1; line < pixelsPerModule; ++line)
            std::memcpy(image.scanLine(y * pixelsPerModule + line), first, size_t(image.width()));
    }
    return image;
}
