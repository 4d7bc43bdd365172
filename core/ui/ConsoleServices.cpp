#include "core/ui/ConsoleServices.h"

ST_ZOX_LOGIN_SERVICES MakeConsoleServices()
{
    ST_ZOX_LOGIN_SERVICES s;
    return s;
}
