#pragma once

// What the start-up benchmark's two programs share (startup_form: the program as
// form/main.cpp starts it; bare_window: a bare window of the same controls): the
// moments of their phases since the benchmark started the process, printed as one
// line, "phase ms phase ms ...", when the window has painted once.

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QMetaObject>
#include <QObject>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>

namespace startup {

inline qint64 nowNs()
{
    // The monotonic clock is the system's: the parent's reading means the same.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class Phases : public QObject
{
public:
    // The benchmark's moment of starting the process: "--since NS".
    Phases(int argc, char **argv)
    {
        for (int i = 1; i + 1 < argc; ++i) {
            if (std::strcmp(argv[i], "--since") == 0)
                m_since = std::strtoll(argv[i + 1], nullptr, 10);
        }
        if (m_since == 0)
            m_since = nowNs();
    }
    void mark(const char *name) { markAt(name, nowNs()); }
    void markAt(const char *name, qint64 ns)
    {
        std::printf("%s %.3f ", name, double(ns - m_since) / 1e6);
    }
    // A duration of its own, not a moment.
    void lasted(const char *name, qint64 ns) { std::printf("%s %.3f ", name, double(ns) / 1e6); }

    // Marks "paint" once the window has painted the first time and the frame has
    // gone to the window system (a queued call after the first paint event runs
    // once the backing store is flushed), then calls then() and quits.
    void untilFirstPaint(QWidget *window, std::function<void()> then)
    {
        m_window = window;
        m_then = std::move(then);
        window->installEventFilter(this);
    }
    // The processor time the process has taken so far (all its threads), which a
    // loaded machine changes less than the moments.
    void cpu()
    {
        timespec t {};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        std::printf("cpu %.3f ", double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6);
    }
    // Resident memory now, in MB.
    void resident()
    {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                std::printf("rss_mb %.1f ", line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024);
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Paint && m_then) {
            m_window->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [this] {
                    mark("paint");
                    cpu();
                    std::exchange(m_then, nullptr)();
                    resident();
                    std::printf("\n");
                    std::fflush(stdout);
                    QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    qint64 m_since = 0;
    QWidget *m_window = nullptr;
    std::function<void()> m_then;
};

} // namespace startup
