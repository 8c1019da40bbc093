#pragma once

#include "scannerstream.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

// A scanner on a pseudo-terminal: a thread writes a ScannerStream into the master
// side as fast as the reader on the slave side takes it, until the time is up,
// and always stops at the end of a read.
class PtyScanner
{
public:
    PtyScanner(); // opens the pair; check isOpen()
    ~PtyScanner();
    PtyScanner(const PtyScanner &) = delete;
    PtyScanner &operator=(const PtyScanner &) = delete;

    bool isOpen() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }

    void start(std::uint64_t seed, std::chrono::steady_clock::duration runFor);
    // Waits for the writing thread; false if writing failed.
    bool finish();

    bool finished() const { return m_finished; }
    qint64 written() const { return m_written; }

private:
    void run(std::uint64_t seed, std::chrono::steady_clock::time_point until);

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    std::thread m_thread;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_finished = false;
    std::atomic<bool> m_failed = false;
    std::atomic<qint64> m_written = 0;
};
