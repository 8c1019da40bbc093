#pragma once

#include "devices/inputdevice.h"

#include <QString>
#include <QStringList>

#include <vector>

// The keyboards that keys came from in this run, each kept once and known by a
// small number, so that a key line keeps two bytes for its device, not its texts.
// Used on the window's thread only; forgotten when the program ends.
class KeyDevices
{
public:
    static constexpr quint16 Unknown = 0; // the key could not be tied to a device
    static constexpr quint16 NotTold = 1; // the session tells no device (Wayland)

    // The number of the device, the same for the same device; Unknown once the
    // numbers run out.
    static quint16 add(const InputDevice &device);
    static const InputDevice *device(quint16 number);
    // The device as a key line's tooltip names it, a statement a line, plain text.
    static QStringList describe(quint16 number);
    // The device in a few words, for a read's analysis: its name and, where
    // known, its USB ids and serial number; empty for Unknown and NotTold.
    static QString shortName(quint16 number);

private:
    static std::vector<InputDevice> &devices();
};
