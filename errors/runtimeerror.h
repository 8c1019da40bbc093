#pragma once

#include <QString>

#include <exception>
#include <string>

// A failure raised by an operation: a conversion, a control property, the serial
// port. It carries a number and a description, like the errors the handlers of the
// window trap step by step, or that reach the runtime's report when nothing does.
class RuntimeError : public std::exception
{
public:
    // Numbers used across the program.
    enum Number : int {
        Overflow = 6,
        OutOfMemory = 7,
        TypeMismatch = 13,
        InternalError = 51,
        InvalidPropertyValue = 380,
        InvalidPortNumber = 8002,
        PortAlreadyOpen = 8005,
        PortNotAvailable = 8010,
        InvalidSettings = 8015,
        PortBusy = 8016,
        PermissionDenied = 8017,
    };
    // The exit status of a program ended by an error that nothing trapped.
    static constexpr int UntrappedExitStatus = 70;

    RuntimeError(int number, const QString &description);

    // What was thrown, as a run-time error: a memory shortage is error 7, any other
    // exception an internal error.
    static RuntimeError from(std::exception_ptr thrown);

    int number() const noexcept { return m_number; }
    const QString &description() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    int m_number;
    QString m_description;
    std::string m_what;
};

// Where an error that nothing trapped is reported: the runtime shows it and ends
// the program. Until one is set, it is written to stderr and the program ends.
using UntrappedReport = void (*)(const RuntimeError &);
void setUntrappedReport(UntrappedReport report);

// Hands what was thrown to the report through a queued call.
void reportLater(std::exception_ptr thrown) noexcept;

// A slot's work, run so that nothing it throws leaves the slot: the code that
// called it (Qt's event delivery, QSerialPort's read handler) does not expect
// exceptions, and one unwinding through it leaves it broken. What is thrown is
// reported from a queued call, once that code has returned.
template<typename Work> void untrapped(Work &&work) noexcept
{
    try {
        work();
    } catch (...) {
        reportLater(std::current_exception());
    }
}
