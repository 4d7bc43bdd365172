#include "console/SplashDots.h"

const char *const g_szSplashDotSuffixes[kSplashDotSteps] = {" ",         " .",         " . .",         " . . .",
                                                            " . . . .", " . . . . .", " . . . . . ."};

namespace {
int g_nSplashDotStep = 0;
}

std::string NextSplashDotText(const std::string &status)
{
    std::string text = status + g_szSplashDotSuffixes[g_nSplashDotStep];
    g_nSplashDotStep = (g_nSplashDotStep + 1) % kSplashDotSteps;
    return text;
}

int GetSplashDotStep() { return g_nSplashDotStep; }

void SetSplashDotStep(int step) { g_nSplashDotStep = ((step % kSplashDotSteps) + kSplashDotSteps) % kSplashDotSteps; }
