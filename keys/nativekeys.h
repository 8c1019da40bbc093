#pragma once

class QObject;
class WindowsKeys;

// Reads the platform's own key messages before Qt does, for as long as owner
// lives, where the platform has messages that tell more than Qt's key events:
// Windows (nativekeys_win.cpp), whose messages it hands to the WindowsKeys it
// returns. Elsewhere (nativekeys_unix.cpp) it returns null: X's and Wayland's key
// events reach Qt's with their stamps, and the form reads Alt codes itself.
WindowsKeys *readNativeKeys(QObject *owner);
