#pragma once
// The real services of the login window: the network layer, the media libraries, the
// server-data cache and the platform links of this build.
#include "core/ui/LoginServices.h"

ST_ZOX_LOGIN_SERVICES MakeConsoleServices();
