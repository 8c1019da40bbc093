// Types keys on two keyboard devices of one X server, 100 ms apart: slower than a
// scanner, so that however loaded the machine, no pause splits the read. "d:CODE"
// types on the device named by the first argument (XTest's device
// events), "c:CODE" on the core XTEST keyboard, as xdotool types.
//   type_as_devices "Xvfb keyboard" d:10 d:11 c:12 d:13 d:36
#include <X11/Xlib.h>
#include <X11/extensions/XInput.h>
#include <X11/extensions/XTest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

XDevice *openNamed(Display *display, const char *name)
{
    int count = 0;
    XDeviceInfo *devices = XListInputDevices(display, &count);
    XDevice *device = NULL;
    for (int i = 0; i < count && !device; ++i)
        if (strcmp(devices[i].name, name) == 0)
            device = XOpenDevice(display, devices[i].id);
    XFreeDeviceList(devices);
    return device;
}

int main(int argc, char **argv)
{
    Display *display = XOpenDisplay(NULL);
    if (!display || argc < 2) {
        fprintf(stderr, "usage: type_as_devices DEVICE-NAME d:CODE|c:CODE...\n");
        return 2;
    }
    XDevice *device = openNamed(display, argv[1]);
    if (!device) {
        fprintf(stderr, "no input device named \"%s\"\n", argv[1]);
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        const unsigned code = (unsigned)strtoul(argv[i] + 2, NULL, 10);
        for (int press = 1; press >= 0; --press) {
            if (argv[i][0] == 'd')
                XTestFakeDeviceKeyEvent(display, device, code, press, NULL, 0, CurrentTime);
            else
                XTestFakeKeyEvent(display, code, press, CurrentTime);
            XSync(display, False);
        }
        usleep(100000);
    }
    XCloseDevice(display, device);
    XCloseDisplay(display);
    return 0;
}
