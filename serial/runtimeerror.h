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
        InvalidPropertyValue = 380,
        InvalidPortNumber = 8002,
        PortAlreadyOpen = 8005,
        PortNotAvailable = 8010,
        InvalidSettings = 8015,
        PortBusy = 8016,
        PermissionDenied = 8017,
    };

    RuntimeError(int number, const QString &description);

    int number() const noexcept { return m_number; }
    const QString &description() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    int m_number;
    QString m_description;
    std::string m_what;
};
