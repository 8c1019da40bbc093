// Qt's Windows platform plugin includes <wintab.h>, which Debian's qt6-base
// source leaves out. Wine's wintab.h (LGPL, from libwine-dev, copied beside
// this file as wine_wintab.h by qt.sh) declares the same interface; these are
// the three Wine macros it relies on.
#ifndef ORVATEK_WINTAB_H
#define ORVATEK_WINTAB_H
#include <windows.h>
#ifndef API
#define API WINAPI
#endif
#ifndef WINELIB_NAME_AW
#  ifdef UNICODE
#    define WINELIB_NAME_AW(name) name##W
#  else
#    define WINELIB_NAME_AW(name) name##A
#  endif
#endif
#ifndef DECL_WINELIB_TYPE_AW
#  define DECL_WINELIB_TYPE_AW(type) typedef WINELIB_NAME_AW(type) type;
#endif
#include "wine_wintab.h"
#endif
