#include "serial/portfollower.h"

#include "errors/runtimeerror.h"
#include "serial/serialcontrol.h"
#include "text/literaltext.h"

#include <algorithm>

namespace {

QString timeText(const QTime &time)
{
    return time.toString(QStringLiteral("hh:mm:ss.zzz"));
}

QString portName(const MappedPort &port)
{
    return QStringLiteral("COM") + QString::number(port.number) + QStringLiteral(" (")
        + literalText(port.device) + u')';
}

} // namespace

PortFollower::PortFollower(SerialControl *port)
    : QObject(port)
    , m_port(port)
{
    connect(port, &SerialControl::DeviceLost, this, &PortFollower::lost);
    connect(port, &SerialControl::DevicesChanged, this, &PortFollower::devicesChanged);
}

void PortFollower::setFollowing(bool on)
{
    m_following = on;
    if (!on)
        forget();
}

void PortFollower::forget()
{
    m_waiting = false;
    m_goneAt = m_backAt = {};
    m_failure.clear();
}

bool PortFollower::followable(const PortIdentity &id)
{
    return !id.serialNumber.isEmpty() || (id.vendorId >= 0 && !id.usbPort.isEmpty());
}

bool PortFollower::sameDevice(const PortIdentity &was, const PortIdentity &now)
{
    if (!was.serialNumber.isEmpty())
        return now.serialNumber == was.serialNumber;
    return followable(was) && now.serialNumber.isEmpty() && now.vendorId == was.vendorId
        && now.productId == was.productId && now.usbPort == was.usbPort;
}

void PortFollower::lost()
{
    if (!m_following || m_port->PortOpen())
        return;
    m_gone = m_port->openedPort();
    m_goneAt = QTime::currentTime();
    m_backAt = {};
    m_failure.clear();
    m_waiting = followable(m_gone.identity);
    // Read now, so that the system's list is watched from here on; the device
    // may even be back already.
    devicesChanged();
}

void PortFollower::devicesChanged()
{
    if (!m_waiting || m_port->PortOpen())
        return;
    const QList<MappedPort> mapping = m_port->portMapping();
    const auto back = std::find_if(mapping.begin(), mapping.end(),
        [this](const MappedPort &port) { return sameDevice(m_gone.identity, port.identity); });
    if (back == mapping.end())
        return;
    m_port->setCommPort(short(back->number));
    try {
        m_port->setPortOpen(true);
    } catch (const RuntimeError &error) {
        // It may still be settling (udev setting its rights): tried again at the
        // next change of the device list.
        m_failure = error.description();
        return;
    }
    m_waiting = false;
    m_failure.clear();
    m_backAt = QTime::currentTime();
    m_back = *back;
    emit reopened();
}

QString PortFollower::history() const
{
    if (!m_goneAt.isValid())
        return m_following ? QStringLiteral("Порт откроется снова, когда его устройство вернётся.")
                           : QString();
    QStringList lines { QStringLiteral("Устройство ") + portName(m_gone)
        + QStringLiteral(" отключилось в ") + timeText(m_goneAt) + u'.' };
    if (m_backAt.isValid()) {
        lines.append(QStringLiteral("Вернулось в ") + timeText(m_backAt) + QStringLiteral(" как ")
            + portName(m_back) + QStringLiteral(" и открыто снова с теми же настройками."));
    } else if (!followable(m_gone.identity)) {
        lines.append(QStringLiteral("Узнать его снова нельзя: у него нет ни серийного номера, "
                                    "ни USB-порта, по которым его отличить."));
    } else if (m_waiting) {
        lines.append(QStringLiteral("Порт откроется снова, когда вернётся устройство ")
            + identityText(m_gone.identity)
            + (m_gone.identity.serialNumber.isEmpty()
                    ? QStringLiteral(" на USB-порту ") + literalText(m_gone.identity.usbPort)
                    : QString())
            + u'.');
        if (!m_failure.isEmpty())
            lines.append(QStringLiteral("Вернувшееся устройство не открылось: ") + m_failure);
    }
    return lines.join(u'\n');
}
