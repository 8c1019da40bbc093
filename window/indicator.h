#pragma once

#include <QHash>
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

    // What a fill colour means, in words, for screen readers: the indicator's
    // accessible description is the text of its current colour (empty for a colour
    // without one), so the state is heard, not only seen.
    void describeColor(unsigned bgr, const QString &description);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void updateDescription();

    unsigned m_fillColor = 0xFFFFFF;
    QHash<unsigned, QString> m_descriptions;
};
