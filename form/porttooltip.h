#pragma once

#include <QObject>

class QWidget;
class SerialControl;

// Keeps the port box's tooltip showing which device each port number opens. The
// listing is read when the tooltip is about to show, since adapters come and go
// while the program runs.
class PortToolTip : public QObject
{
    Q_OBJECT

public:
    PortToolTip(QWidget *portBox, SerialControl *port);

    void update();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_portBox;
    SerialControl *m_port;
};
