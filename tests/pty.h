#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair standing in for a serial device: the program opens the
// slave side by its path, the test writes what the "scanner" sends into the
// master side. Closing the master is the device being unplugged.
class PseudoTerminal
{
public:
    PseudoTerminal() { open(); }
    ~PseudoTerminal() { unplug(); }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // A new pair, the old one closed: the device back after an unplug, at a new path.
    bool open();
    // Closes both sides: reads on the program's side fail from now on.
    void unplug();
    bool isOpen() const { return m_master >= 0; }

    QString slavePath() const { return m_slavePath; }
    // The slave side as the test holds it, to read the line settings back.
    int slaveFd() const { return m_slave; }
    // The master side (non-blocking), for a writer of its own such as a thread
    // that writes as fast as the program reads.
    int masterFd() const { return m_master; }

    // Writes every byte into the master side, running the event loop whenever the
    // pseudo-terminal is full so that the program can read on. False if it could
    // not write everything within the timeout.
    bool write(const QByteArray &bytes, int timeoutMs = 20000);

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
