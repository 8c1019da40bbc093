#include "pty.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

bool PseudoTerminal::open()
{
    unplug();
    char name[256] = {};
    // Raw from the start: no echo filling the master side, no line editing
    // holding bytes back until a line feed, no carriage return turned into one.
    termios raw {};
    cfmakeraw(&raw);
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        m_master = m_slave = -1;
        return false;
    }
    // A write that blocked would stop the event loop and with it the program
    // that is to drain the pseudo-terminal.
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name);
    return true;
}

void PseudoTerminal::unplug()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
}

bool PseudoTerminal::write(const QByteArray &bytes, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    qsizetype done = 0;
    while (done < bytes.size() && m_master >= 0) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if ((n < 0 && errno != EAGAIN && errno != EINTR) || deadline.hasExpired())
            return false;
        // Full: let the program read, then try again.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    // Let the program see what was written before the caller checks.
    QCoreApplication::processEvents();
    return done == bytes.size();
}
