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

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    unsigned m_fillColor = 0xFFFFFF;
};
