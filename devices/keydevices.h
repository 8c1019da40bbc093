#pragma once

#include "devices/inputdevice.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The keyboards that keys came from in this run, each known by a small number,
// so that a key line keeps two bytes for its device, not its texts.
// Used on the window's thread only (askInBackground's threads leave their answers
// apart); forgotten when the program ends.
class KeyDevices
{
public:
    static constexpr quint16 Unknown = 0; // the key could not be tied to a device
    static constexpr quint16 NotTold = 1; // the session tells no device (Wayland)
    // Windows named no device: so come the keys a program sends (SendInput).
    static constexpr quint16 Unnamed = 2;

    // A number for a device whose facts take time to ask for (the X server, the
    // device manager, which may stall), so that its keys are tied to it at once:
    // ask runs on a thread of its own, never waited for, not even as the program
    // ends. Until its answer is in (and for good if ask throws), the device is one
    // whose facts have not come. Unknown once the numbers run out.
    static quint16 askInBackground(std::function<InputDevice()> ask);
    // The same in steps: a number, then its facts.
    static quint16 reserve();
    static void learnt(quint16 number, const InputDevice &device);
    // The device; null for the numbers that name none and for one still asked for.
    static const InputDevice *device(quint16 number);
    // Whether two numbers name the same device: a device asked for again (it
    // comes back with a new X id or Raw Input handle) may have two.
    static bool same(quint16 a, quint16 b);
    // The device as a key line's tooltip names it, a statement a line, plain text.
    static QStringList describe(quint16 number);
    // The device in a few words, for a read's analysis: its name and, where
    // known, its USB ids and serial number; empty for Unknown, NotTold and Unnamed.
    static QString shortName(quint16 number);

private:
    // Takes in the answers that have come from askInBackground's threads.
    static void collect();

    struct Known
    {
        InputDevice device;
        bool learnt = true;
    };
    static std::vector<Known> &devices();
};
