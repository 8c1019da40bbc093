#include "serial/serialcontrol.h"

#include "errors/runtimeerror.h"
#include "serial/linesettings.h"
#include "serial/portholders.h"
#include "serial/portpermission.h"
#include "serial/systemports.h"
#include "text/literaltext.h"

#include <QFile>

#include <algorithm>
#include <utility>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

bool readable(const QString &device)
{
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(device).constData(), R_OK) == 0;
#else
    Q_UNUSED(device);
    return true;
#endif
}

QString withModemManagerNote(const QString &device)
{
    const QString note = modemManagerNote(device);
    return note.isEmpty() ? note : u' ' + note;
}

// The most Input() takes from the system at once on top of what Qt has read.
constexpr qint64 TakeUpTo = 8192;

} // namespace

SerialControl::SerialControl(QObject *parent)
    : QObject(parent)
    , m_port(new SerialPort(this))
    , m_settings(QStringLiteral("9600") + settingsAfterSpeed.toString())
{
    auto *system = new SystemPorts(this);
    m_mapper = [system] { return system->mapping(); };
    connect(m_port, &SerialPort::readyRead, this, &SerialControl::received);
    connect(m_port, &SerialPort::errorOccurred, this, &SerialControl::portError);
}

SerialControl::~SerialControl() = default;

bool SerialControl::PortOpen() const
{
    return m_port->isOpen();
}

void SerialControl::setPortOpen(bool open)
{
    if (open) {
        // A loss under way is left alone: an open port is refused below, and the
        // loss then closes it, whichever came first.
        this->open();
    } else if (m_port->isOpen()) {
        m_losing = false;
        m_port->close();
    }
}

QString SerialControl::Input()
{
    QByteArray bytes = std::exchange(m_leftover, {});
    if (m_port->isOpen()) {
        takeWaiting();
        bytes += m_port->readAll();
    }
    return QString::fromLatin1(bytes);
}

void SerialControl::setPortMapper(PortMapper mapper)
{
    m_mapper = std::move(mapper);
}

QList<MappedPort> SerialControl::portMapping() const
{
    return m_mapper ? m_mapper() : QList<MappedPort>();
}

void SerialControl::open()
{
    if (m_port->isOpen())
        throw RuntimeError(RuntimeError::PortAlreadyOpen, QStringLiteral("Порт уже открыт."));
    if (m_commPort <= 0)
        throw RuntimeError(RuntimeError::InvalidPortNumber,
            QStringLiteral("Порта COM%1 не бывает: номера портов начинаются с 1.").arg(m_commPort));
    const QList<MappedPort> mapping = portMapping();
    const auto target = std::find_if(mapping.begin(), mapping.end(),
        [this](const MappedPort &p) { return p.number == m_commPort; });
    if (target == mapping.end())
        throw RuntimeError(RuntimeError::PortNotAvailable,
            QStringLiteral("Порта COM%1 в системе нет. Список портов — в "
                           "подсказке поля номера порта.")
                .arg(m_commPort));

    const LineSettings line = parseSettings(m_settings);
#ifndef Q_OS_WIN
    // POSIX terminals know no one and a half stop bits, and the port would open
    // quietly with another setting.
    if (line.stopBits == SerialPort::OneAndHalfStop)
        throw RuntimeError(RuntimeError::InvalidSettings,
            QStringLiteral("Настройки порта не приняты: стоповые биты «1.5» "
                           "в этой системе не поддерживаются."));
#endif
    m_port->setPortName(target->device);
    m_port->setBaudRate(line.baudRate);
    m_port->setParity(line.parity);
    m_port->setDataBits(line.dataBits);
    m_port->setStopBits(line.stopBits);
    m_port->setFlowControl(SerialPort::NoFlowControl);
    // Two readers of one terminal split its bytes between them, and a program
    // that holds a port without locking it is found only by looking.
    if (const QList<PortHolder> holders = portHolders(target->device); !holders.isEmpty())
        throw RuntimeError(RuntimeError::PortBusy,
            QStringLiteral("Порт COM%1 (%2) %3: ")
                    .arg(QString::number(m_commPort), literalText(target->device),
                        holders.size() == 1 ? QStringLiteral("занят другой программой")
                                            : QStringLiteral("занят другими программами"))
                + holdersText(holders) + u'.' + withModemManagerNote(target->device));
    m_port->clearError();
    if (!m_port->open(QIODevice::ReadOnly)) {
        const RuntimeError failure = openFailure(target->device);
        m_port->clearError();
        throw RuntimeError(
            failure.number(), failure.description() + withModemManagerNote(target->device));
    }
    m_opened = *target;
}

RuntimeError SerialControl::openFailure(const QString &device) const
{
    const QString port = QStringLiteral("COM") + QString::number(m_commPort) + QStringLiteral(" (")
        + literalText(device) + u')';
    switch (m_port->error()) {
    case SerialPort::DeviceNotFoundError:
        return RuntimeError(RuntimeError::PortNotAvailable,
            QStringLiteral("Порт %1 не найден: устройство отключено.").arg(port));
    case SerialPort::PermissionError:
        // Qt reports a port that another program holds as a permission error too;
        // only a device this user cannot read is a matter of rights.
        if (readable(device))
            return RuntimeError(RuntimeError::PortBusy,
                QStringLiteral("Порт %1 занят другой программой.").arg(port));
        return RuntimeError(RuntimeError::PermissionDenied, permissionAdvice(port, device));
    case SerialPort::UnsupportedOperationError:
        // The driver refused the line settings.
        return settingsRefused(port + u' ' + m_port->errorString());
    default:
        return RuntimeError(RuntimeError::PortNotAvailable,
            QStringLiteral("Порт %1 не открылся: %2.").arg(port, m_port->errorString()));
    }
}

void SerialControl::takeWaiting()
{
    // Qt reads a port once per pass of the event loop, and a terminal hands out
    // at most 4 KB a read, while every notification has a cost of its own at the
    // receiver (a pass over the text, an insert into the scan box, a repaint). So
    // what the system holds by now goes along, up to a bound that keeps one pass
    // short: a fast device is announced in fewer, larger pieces. How the bytes are
    // split never changes what the form makes of them.
    m_taking = true;
    while (m_port->bytesAvailable() < TakeUpTo && m_port->waitForReadyRead(0)) { }
    m_taking = false;
    // Nothing more to read is reported as a time-out: no fault of the port.
    if (m_port->error() == SerialPort::TimeoutError)
        m_port->clearError();
}

void SerialControl::received()
{
    // What arrives while Input() takes what is waiting goes out with that call.
    if (m_taking)
        return;
    m_commEvent = comEvReceive;
    // Called from QSerialPort's read handler, which must not be unwound.
    untrapped([this] { emit OnComm(); });
}

void SerialControl::portError(SerialPort::SerialPortError error)
{
    // A device that went away fails every read from then on; Qt repeats the error
    // on each pass of the event loop for as long as the port stays open. The
    // first one closes the port, outside of Qt's own read handler.
    if ((error != SerialPort::ReadError && error != SerialPort::ResourceError) || m_losing
        || !m_port->isOpen())
        return;
    m_losing = true;
    untrapped([this] {
        QMetaObject::invokeMethod(this, &SerialControl::loseDevice, Qt::QueuedConnection);
    });
}

void SerialControl::loseDevice()
{
    // The operator may have closed the port in the meantime.
    if (!std::exchange(m_losing, false) || !m_port->isOpen())
        return;
    untrapped([this] { m_leftover += m_port->readAll(); });
    m_port->close();
    m_port->clearError();
    if (!m_leftover.isEmpty()) {
        m_commEvent = comEvReceive;
        untrapped([this] { emit OnComm(); });
    }
    untrapped([this] { emit DeviceLost(); });
}
