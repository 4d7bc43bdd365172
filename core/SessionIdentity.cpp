#include "core/SessionIdentity.h"

std::atomic<uint32_t> g_nOwnUserId{0};
CSharedText g_strOwnNumber {kDefaultOwnNumber};
std::atomic<uint8_t> g_byRestartFlag{0};
