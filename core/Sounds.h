#pragma once
// The console's three notification sounds, <working folder>/res/<name>.wav. One
// sound plays at a time: starting one ends the one that plays, and a stop ends
// whatever plays when its own flag is set. User-interface thread.

// complete.wav once (a new video upload request).
void PlayCompleteSound();
// ringin.wav in a loop (an incoming call is alerted); sets the ring-in flag to
// whether the sound started.
void StartRingIn();
// When the ring-in flag is set: clears it and stops the sound that plays.
void StopRingIn();
// ringback.wav in a loop (a voice call set-up was sent), with its own flag.
void StartRingBack();
void StopRingBack();

bool IsRingInPlaying();
bool IsRingBackPlaying();
