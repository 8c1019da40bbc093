#include "testcodes/symbolview.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// At three device pixels a module a printing defect in one pixel is a third of a
// module at most: the size a symbol is given where there is room. Two still read
// well off a screen, whose pixels have no defects; at one, a scanner's imager
// resolves the modules no better than the screen's pixel grid.
constexpr int comfortableMinScale = 3;
constexpr int minScale = 2;
// Past eight a symbol outgrows what imagers frame at arm's length.
constexpr int maxScale = 8;
// White beyond the symbol's own quiet zone, in logical pixels, so that the frame
// of the window never touches it.
constexpr int margin = 16;

} // namespace

SymbolView::SymbolView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SymbolView::setSymbol(const Symbol &symbol)
{
    m_symbol = symbol;
    m_text.clear();
    m_image = {};
    m_scale = 0;
    updateGeometry();
    update();
}

void SymbolView::setText(const QString &text)
{
    setSymbol(Symbol());
    m_text = text;
}

int SymbolView::scaleIn(const Symbol &symbol, QSize size, qreal ratio)
{
    if (symbol.isNull())
        return 0;
    const int room = int(std::floor((size.width() - 2 * margin) * ratio));
    const int roomHeight = int(std::floor((size.height() - 2 * margin) * ratio));
    const int fits
        = std::min(std::max(room, 0) / symbol.width(), std::max(roomHeight, 0) / symbol.height());
    return fits < minScale ? 0 : std::min(fits, maxScale);
}

QSize SymbolView::sizeAt(const Symbol &symbol, int pixelsPerModule, qreal ratio)
{
    return QSize(int(std::ceil(symbol.width() * pixelsPerModule / ratio)) + 2 * margin,
        int(std::ceil(symbol.height() * pixelsPerModule / ratio)) + 2 * margin);
}

int SymbolView::comfortableScale(const Symbol &symbol, qreal ratio)
{
    // As large as sits beside the texts on a small bench screen (1024 by 768)
    // with room to spare: a scanner reads a module of a few pixels well.
    const QSize comfortable(640, 480);
    for (int scale = maxScale; scale > comfortableMinScale; --scale) {
        const QSize size = sizeAt(symbol, scale, ratio);
        if (size.width() <= comfortable.width() && size.height() <= comfortable.height())
            return scale;
    }
    return comfortableMinScale;
}

QSize SymbolView::sizeHint() const
{
    const qreal ratio = devicePixelRatioF();
    return sizeAt(m_symbol, comfortableScale(m_symbol, ratio), ratio);
}

void SymbolView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    // The scale is worked out in device pixels, so that one image pixel lands on
    // one pixel of the screen; the image is made again only when the size or the
    // screen changes it.
    const qreal ratio = devicePixelRatioF();
    const int scale = scaleIn(m_symbol, size(), ratio);
    if (scale == 0) {
        // Modules of one pixel would test the screen, not the scanner.
        m_notice = m_symbol.isNull() ? (m_text.isEmpty() ? m_symbol.error() : m_text)
                                     : QStringLiteral("Этот код не помещается на экране: нужен "
                                                      "экран побольше.");
        m_image = {};
        m_scale = 0;
        painter.setPen(Qt::black);
        painter.drawText(rect().adjusted(margin, margin, -margin, -margin),
            Qt::AlignCenter | Qt::TextWordWrap, m_notice);
        return;
    }
    m_notice.clear();
    if (scale != m_scale || ratio != m_ratio || m_image.isNull()) {
        m_image = m_symbol.image(scale);
        m_image.setDevicePixelRatio(ratio);
        m_scale = scale;
        m_ratio = ratio;
    }
    // Centred on a whole device pixel: drawn at its own size, without smoothing,
    // the image is copied pixel for pixel.
    const int x = std::max(0, int(std::floor(width() * ratio)) - m_image.width()) / 2;
    const int y = std::max(0, int(std::floor(height() * ratio)) - m_image.height()) / 2;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QPointF(x / ratio, y / ratio), m_image);
}
