#pragma once

#include "symbol.h"

#include <QImage>
#include <QWidget>

// Shows one symbol large, black on white whatever the theme, each module a whole
// number of device pixels (at least three) so that nothing is smoothed or scaled
// by a fraction: a scanner reads it off the screen as off a label.
class SymbolView : public QWidget
{
public:
    explicit SymbolView(QWidget *parent = nullptr);

    void setSymbol(const Symbol &symbol);
    // Device pixels per module as last painted, 0 before the first paint.
    int pixelsPerModule() const { return m_scale; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize logicalSize(int pixelsPerModule) const;

    Symbol m_symbol;
    QImage m_image;
    int m_scale = 0;
    qreal m_ratio = 0;
};
