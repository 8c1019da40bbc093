#pragma once

#include <QList>
#include <QStringList>

#include <cstdint>

class Form1;
class QWidget;

namespace bench {

// The process's resident size in bytes, or -1 where the system does not tell.
std::int64_t residentBytes();

// Runs each case as a child process of this same program with the case's
// arguments, so that every measurement starts from a fresh heap; the children's
// output goes to this program's output as it comes. Returns the exit status.
int runCases(const QList<QStringList> &cases);

// The q-quantile (0..1) of the samples, nearest rank.
double quantile(QList<double> samples, double q);

// The widget's fonts and geometry as the form gives them to the log.
void placeLikeTheLog(QWidget *log);

// The value given after an option ("--lines 1000"), or the fallback.
QString option(const QStringList &arguments, const QString &name, const QString &fallback = {});

// Benchmarks run offscreen unless told otherwise, so that their figures do not
// depend on a display server. Call before the application object is made.
void offscreenByDefault();

// Lets the window system show the window and paint it once.
void showAndSettle(QWidget *window);

// Shows the form with COM1 on the device at path and opens it as the operator does
// ("интерфейс RS-232", then "Открыть порт"). A failed open's message is answered
// after a while, so that the run ends; false then.
bool openScannerPort(Form1 *form, const QString &path);

} // namespace bench
