#pragma once

#include <QObject>
#include <QPoint>

class QSize;
class QWidget;
class SerialControl;

// Keeps the port box's tooltip showing which device each port number opens, and
// shows it where it covers no button. The listing is asked for when the tooltip is
// about to show, since adapters come and go while the program runs.
class PortToolTip : public QObject
{
    Q_OBJECT

public:
    PortToolTip(QWidget *portBox, SerialControl *port);

    void update();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show();
    QPoint place(const QSize &tip) const;

    QWidget *m_portBox;
    SerialControl *m_port;
};
