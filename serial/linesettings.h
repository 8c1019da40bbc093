#pragma once

#include "errors/runtimeerror.h"
#include "serial/serialport.h"

#include <QString>
#include <QStringView>

// The line settings of a settings text such as "9600,N,8,1": speed, parity, data
// bits and stop bits, in this order, separated by commas.
struct LineSettings
{
    qint32 baudRate = 9600;
    SerialPort::Parity parity = SerialPort::NoParity;
    SerialPort::DataBits dataBits = SerialPort::Data8;
    SerialPort::StopBits stopBits = SerialPort::OneStop;
};

// What follows the speed in the settings the form gives the port, and the caption
// of the label beside the speed box: no parity, 8 data bits, 1 stop bit.
inline constexpr QStringView settingsAfterSpeed = u",N,8,1";

// Reads a settings text. Blanks around a part are allowed; the speed is a positive
// whole number, the parity one of N, E, O, M, S (either case), the data bits 5 to 8
// and the stop bits 1, 1.5 or 2. A text that does not fit throws RuntimeError
// InvalidSettings, whose description names the part at fault.
LineSettings parseSettings(const QString &text);

// A settings text or line setting refused, and why: InvalidSettings, with the
// description that names the part at fault.
RuntimeError settingsRefused(const QString &why);
