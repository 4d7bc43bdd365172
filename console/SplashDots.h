#pragma once
// The dots of the login splash: seven suffixes shown in turn behind "Logging in", one
// every 500 ms. The step is shared by every splash of the program and is not reset
// when an animation starts again.
#include <string>

inline constexpr int kSplashDotSteps = 7;
extern const char *const g_szSplashDotSuffixes[kSplashDotSteps];

// The status text with the suffix of the current step; advances the step.
std::string NextSplashDotText(const std::string &status);
// The current step (0 to 6).
int GetSplashDotStep();
// For tests: puts the shared step back to a value.
void SetSplashDotStep(int step);
