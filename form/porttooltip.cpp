#include "porttooltip.h"

#include "portmapping.h"
#include "serialcontrol.h"
#include "tooltiptext.h"

#include <QEvent>
#include <QWidget>

PortToolTip::PortToolTip(QWidget *portBox, SerialControl *port)
    : QObject(portBox)
    , m_portBox(portBox)
    , m_port(port)
{
    portBox->installEventFilter(this);
}

void PortToolTip::update()
{
    // Device descriptions come from the system: shown as plain text, whatever
    // they contain.
    m_portBox->setToolTip(toolTipText(mappingText(m_port->portMapping())));
}

bool PortToolTip::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_portBox && event->type() == QEvent::ToolTip)
        update();
    return QObject::eventFilter(watched, event);
}
