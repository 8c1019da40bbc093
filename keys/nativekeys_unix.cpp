#include "keys/nativekeys.h"

WindowsKeys *readNativeKeys(QObject *)
{
    return nullptr;
}
