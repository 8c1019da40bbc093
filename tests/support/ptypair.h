#pragma once

#include <QString>

// A pseudo-terminal pair for a serial device: the program opens the slave side by its
// path, the "scanner" writes into the (non-blocking) master; unplug() pulls it out.
class PseudoTerminal
{
    Q_DISABLE_COPY(PseudoTerminal)
public:
    PseudoTerminal() { open(); }
    ~PseudoTerminal() { unplug(); }
    bool open();
    void unplug();
    QString slavePath() const { return m_slavePath; }
    int slaveFd() const { return m_slave; }
    int masterFd() const { return m_master; }
    // Writes every byte, running the event loop as it goes; false on a timeout.
    bool write(const QByteArray &bytes, int timeoutMs = 20000);

private:
    int m_master = -1, m_slave = -1;
    QString m_slavePath;
};
