#pragma once

#include <QCoreApplication>
#include <QList>
#include <QStringList>

#include <cstdint>
#include <functional>

class EventLog;
class Form1;
class QWidget;

// The benchmarks, one a function called with its case's arguments in a child
// process of main.cpp's program; each prints one line starting with "bench:".
int logAppend(const QStringList &arguments);
int keyLatency(const QStringList &arguments);
int scanBox(const QStringList &arguments);
int serialE2e(const QStringList &arguments);
int logClear(const QStringList &arguments);
int logPaint(const QStringList &arguments);
int lineDetails(const QStringList &arguments);
int copyLines(const QStringList &arguments);
int readAnalysis(const QStringList &arguments);
int startupTimes(const QStringList &arguments);

// What they share.
namespace bench {

// The value after an option ("--lines 1000"), or the fallback; as a number.
QString option(const QStringList &arguments, const QString &name, const QString &fallback = {});
qint64 number(const QStringList &arguments, const QString &name);

// The process's resident size in bytes, its largest, its processor seconds.
std::int64_t residentBytes();
std::int64_t peakResidentBytes();
double cpuSeconds();

// The q-quantile (0..1) of the samples, nearest rank.
double quantile(QList<double> samples, double q);
// f's times in microseconds after one unmeasured call: `runs`, or fewer (10 at
// least) once they took `budgetMs`.
QList<double> timesMicros(int runs, const std::function<void()> &f, qint64 budgetMs = -1);

// The log's font and size on the form; N lines added to it: every 1,000th a scan
// line of 12 to 27 digits, each different, the others character lines, each with
// a time of its own if `timed`.
void placeLikeTheLog(QWidget *log);
void addLines(EventLog *log, qint64 lines, bool timed);
// Lets the window system show the window and paint it once.
void showAndSettle(QWidget *window);
// Shows the form and opens COM1 on the device at path as the operator does; a
// failed open's message is closed after 5 s, false then.
bool openScannerPort(Form1 *form, const QString &path);

} // namespace bench
