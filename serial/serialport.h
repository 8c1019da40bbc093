#pragma once

// The serial port the control talks to: Qt's QSerialPort, except on Windows,
// where the control reaches the Win32 communications functions itself (Qt's
// serial module is not part of the Windows build), through a class with the
// same interface for the part the control uses.
#ifdef Q_OS_WIN
#include "serial/win32serialport.h"
using SerialPort = Win32SerialPort;
#else
#include <QSerialPort>
using SerialPort = QSerialPort;
#endif
