#include "ptyscanner.h"

#include <QByteArray>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PtyScanner::PtyScanner()
{
    char name[256] = {};
    // Raw: no echo, no line editing, no carriage return turned into a line feed.
    termios raw {};
    cfmakeraw(&raw);
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    // The writing thread must be able to give up on a reader that went away.
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name);
}

PtyScanner::~PtyScanner()
{
    m_stop = true;
    finish();
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
}

void PtyScanner::start(std::uint64_t seed, std::chrono::steady_clock::duration runFor)
{
    m_thread = std::thread(&PtyScanner::run, this, seed, std::chrono::steady_clock::now() + runFor);
}

bool PtyScanner::finish()
{
    if (m_thread.joinable())
        m_thread.join();
    return !m_failed;
}

void PtyScanner::run(std::uint64_t seed, std::chrono::steady_clock::time_point until)
{
    ScannerStream stream(seed);
    QByteArray block;
    while (!m_stop && std::chrono::steady_clock::now() < until) {
        block.clear();
        stream.appendReads(block, 1 << 16);
        qsizetype done = 0;
        while (done < block.size()) {
            const ssize_t n
                = ::write(m_master, block.constData() + done, size_t(block.size() - done));
            if (n > 0) {
                done += n;
                m_written += n;
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                m_failed = true;
                m_finished = true;
                return;
            }
            if (m_stop) {
                // Given up half way: the count still says what went out.
                m_finished = true;
                return;
            }
            pollfd writable { m_master, POLLOUT, 0 };
            ::poll(&writable, 1, 100);
        }
    }
    m_finished = true;
}
