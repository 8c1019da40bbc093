#pragma once

#include <QString>

// The window's captions are Russian, so Qt's own texts (the text boxes' context
// menus, the message box's buttons, the serial port's error texts) are shown in
// Russian too, whatever the system's language: no English next to the captions.
// Loads Qt's Russian catalogues from Qt's translations directory and installs them
// on the running application. Returns false, with the reason in *why, when a
// catalogue is missing; the program then goes on with Qt's English texts.
bool installQtTranslations(QString *why = nullptr);
