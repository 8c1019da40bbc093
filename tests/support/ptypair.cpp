#include "support/ptypair.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

bool PseudoTerminal::open()
{
    unplug();
    char name[256] = {};
    // Raw: no byte held back or changed. Non-blocking: a full one never stops the loop.
    termios raw {};
    cfmakeraw(&raw);
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0)
        return false; // both left at -1
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name);
    return true;
}

void PseudoTerminal::unplug()
{
    for (int *fd : { &m_master, &m_slave })
        if (*fd >= 0)
            ::close(std::exchange(*fd, -1));
}

bool PseudoTerminal::write(const QByteArray &bytes, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if ((n < 0 && errno != EAGAIN && errno != EINTR) || (n <= 0 && deadline.hasExpired()))
            return false;
        done += std::max<ssize_t>(n, 0);
        QCoreApplication::processEvents(); // the program reads on, and sees the bytes before the caller checks
    }
    return true;
}
