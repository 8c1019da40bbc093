#include "runtime.h"

bool displayAvailable(QString *)
{
    return true;
}
