#include "symbolview.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// At three device pixels a module a printing defect in one pixel is a third of a
// module at most; past eight a symbol outgrows what imagers frame at arm's length.
constexpr int minScale = 3;
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
    m_image = {};
    m_scale = 0;
    updateGeometry();
    update();
}

QSize SymbolView::logicalSize(int pixelsPerModule) const
{
    const qreal ratio = devicePixelRatioF();
    return QSize(int(std::ceil(m_symbol.width() * pixelsPerModule / ratio)) + 2 * margin,
        int(std::ceil(m_symbol.height() * pixelsPerModule / ratio)) + 2 * margin);
}

QSize SymbolView::sizeHint() const
{
    // As large as sits beside the texts on a small bench screen (1024 by 768)
    // with room to spare: a scanner reads a module of a few pixels well.
    const QSize comfortable(640, 480);
    for (int scale = maxScale; scale > minScale; --scale) {
        const QSize size = logicalSize(scale);
        if (size.width() <= comfortable.width() && size.height() <= comfortable.height())
            return size;
    }
    return logicalSize(minScale);
}

QSize SymbolView::minimumSizeHint() const
{
    return logicalSize(minScale);
}

void SymbolView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    if (m_symbol.isNull()) {
        painter.setPen(Qt::black);
        painter.drawText(rect().adjusted(margin, margin, -margin, -margin),
            Qt::AlignCenter | Qt::TextWordWrap, m_symbol.error());
        return;
    }
    // The scale is worked out in device pixels, so that one image pixel lands on
    // one pixel of the screen; the image is made again only when the size or the
    // screen changes it.
    const qreal ratio = devicePixelRatioF();
    const int room = int(std::floor((width() - 2 * margin) * ratio));
    const int roomHeight = int(std::floor((height() - 2 * margin) * ratio));
    const int fits = std::min(room / m_symbol.width(), roomHeight / m_symbol.height());
    const int scale = std::clamp(fits, minScale, maxScale);
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
