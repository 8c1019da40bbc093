#pragma once

#include "testcodes/symbol.h"

#include <QImage>
#include <QWidget>

// Shows one symbol large, black on white whatever the theme, each module a whole
// number of device pixels (at least two) so that nothing is smoothed or scaled
// by a fraction: a scanner reads it off the screen as off a label. A symbol that
// would need less says so instead of being drawn.
class SymbolView : public QWidget
{
public:
    explicit SymbolView(QWidget *parent = nullptr);

    void setSymbol(const Symbol &symbol);
    // No symbol: the text in its place, as a notice.
    void setText(const QString &text);
    // Device pixels per module as last painted; 0 before the first paint and when
    // the symbol was not drawn.
    int pixelsPerModule() const { return m_scale; }
    // What is shown instead of the symbol, empty while the symbol is drawn.
    QString notice() const { return m_notice; }

    // The device pixels per module a symbol gets in a view of `size` (logical
    // pixels) on a screen of `ratio`: as many as fit up to the largest, 0 when even
    // the smallest does not fit.
    static int scaleIn(const Symbol &symbol, QSize size, qreal ratio);
    // The view's size for a symbol at `pixelsPerModule`.
    static QSize sizeAt(const Symbol &symbol, int pixelsPerModule, qreal ratio);
    // The device pixels per module a symbol is shown at given room enough: the
    // most that keep it to a comfortable size, at least three.
    static int comfortableScale(const Symbol &symbol, qreal ratio);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Symbol m_symbol;
    QImage m_image;
    QString m_notice;
    QString m_text;
    int m_scale = 0;
    qreal m_ratio = 0;
};
