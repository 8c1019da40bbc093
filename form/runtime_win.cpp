#include "form/runtime.h"

bool displayAvailable(QString *)
{
    return true;
}
