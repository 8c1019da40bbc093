#pragma once

#include <QWidget>

// A solid rectangle with a thin border whose fill shows the port state. The colour
// is set as 0x00BBGGRR, the form's colour order.
class Indicator : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(unsigned FillColor READ FillColor WRITE setFillColor)

public:
    explicit Indicator(QWidget *parent = nullptr);

    unsigned FillColor() const { return m_fillColor; }
    void setFillColor(unsigned bgr);

    // What the indicator shows, in words: its tooltip and, for screen readers, its
    // accessible description, so the state is read and heard, not only seen. Plain
    // text, whatever it contains.
    void describe(const QString &description);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    unsigned m_fillColor = 0xFFFFFF;
};
