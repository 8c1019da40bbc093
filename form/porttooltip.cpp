#include "form/porttooltip.h"

#include "errors/runtimeerror.h"
#include "serial/portmapping.h"
#include "serial/serialcontrol.h"
#include "text/tooltiptext.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QToolTip>
#include <QWidget>

namespace {

constexpr int Gap = 2;

// The label Qt shows a tooltip in, while it shows one.
QWidget *shownTip()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->isVisible() && window->objectName() == QLatin1String("qtooltip_label"))
            return window;
    }
    return nullptr;
}

} // namespace

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
    if (watched != m_portBox || event->type() != QEvent::ToolTip)
        return QObject::eventFilter(watched, event);
    untrapped([this] { show(); });
    return true;
}

void PortToolTip::show()
{
    update();
    // Qt puts a tooltip below the pointer, over "Открыть порт" right under the
    // box, and the operator's next click would miss: it is moved once shown, when
    // its size is known. It goes when the pointer leaves the box.
    const QRect box(m_portBox->mapToGlobal(QPoint(0, 0)), m_portBox->size());
    QToolTip::showText(box.topLeft(), m_portBox->toolTip(), m_portBox, m_portBox->rect());
    if (QWidget *tip = shownTip())
        tip->move(place(tip->size()));
}

// Above the box; where the screen leaves no room above, beside the window, to the
// right or else to the left.
QPoint PortToolTip::place(const QSize &tip) const
{
    const QRect screen = m_portBox->screen()->availableGeometry();
    const QRect box(m_portBox->mapToGlobal(QPoint(0, 0)), m_portBox->size());
    const int left = qBound(screen.left(), box.left(), screen.right() + 1 - tip.width());
    if (box.top() - Gap - tip.height() >= screen.top())
        return { left, box.top() - Gap - tip.height() };
    const QRect window = m_portBox->window()->frameGeometry();
    const int top = qBound(screen.top(), box.top(), screen.bottom() + 1 - tip.height());
    if (window.right() + Gap + tip.width() <= screen.right())
        return { window.right() + 1 + Gap, top };
    return { window.left() - Gap - tip.width(), top };
}
