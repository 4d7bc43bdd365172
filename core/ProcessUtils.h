#pragma once
// Single instance and restart: finding another running copy of the console by its
// executable name and ending it.
#include <string>
#include <sys/types.h>

// The executable name of the single-instance test.
inline constexpr const char *kConsoleExeName = "ZoxClient";

// The id of the first process other than this one, run by the same user, whose
// executable's file name (without folder) equals the name exactly (letter case
// counts); 0 when there is none.
pid_t FindProcessByName(const std::string &name);

// Ends the process at once and waits up to waitMs for it to be gone, so that its
// port is free again. Nothing happens when the process cannot be signalled.
void KillProcess(pid_t pid, int waitMs = 3000);
