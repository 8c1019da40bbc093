#pragma once

#include "errors/runtimeerror.h"

#include <QApplication>

// The window runtime: the application object, the report of a run-time error
// that no handler traps (slots hand theirs over through untrapped(), to be shown
// from a queued call) and, as a last resort, a safety net around event delivery.
// The report gives the error's number and description, and the program ends with
// ExitStatus.
class Runtime : public QApplication
{
    Q_OBJECT

public:
    static constexpr int ExitStatus = RuntimeError::UntrappedExitStatus;

    Runtime(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Shows the report of an untrapped error and ends the program.
    static void reportUntrapped(const RuntimeError &error);
};

// Whether a window system is named at all, so that the program can say so in one
// line instead of aborting inside the platform plugin.
bool displayAvailable(QString *why);

// While the application object is being made, a display that is named but cannot
// be reached ends the program with one clear line instead of Qt's abort.
class StartupGuard
{
public:
    StartupGuard();
    ~StartupGuard();
};
