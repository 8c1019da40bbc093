#include "form/indicator.h"

#include "text/tooltiptext.h"

#include <QPainter>

Indicator::Indicator(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Indicator::setFillColor(unsigned bgr)
{
    bgr &= 0xFFFFFF;
    if (bgr == m_fillColor)
        return;
    m_fillColor = bgr;
    update();
}

void Indicator::describe(const QString &description)
{
    setAccessibleDescription(description);
    setToolTip(toolTipText(description));
}

void Indicator::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor fill(m_fillColor & 0xFF, (m_fillColor >> 8) & 0xFF, (m_fillColor >> 16) & 0xFF);
    painter.fillRect(rect(), fill);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
