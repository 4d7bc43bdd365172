#pragma once
// Plays one sound file at a time, once or in a loop, through a GStreamer playbin.
// Starting a sound ends the one that plays. Without a sound device the system's
// fallback sink plays silently. Not bound to any thread; calls are serialised.
#include <memory>
#include <string>

class SoundPlayer {
public:
    SoundPlayer();
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer &) = delete;
    SoundPlayer &operator=(const SoundPlayer &) = delete;

    // The process-wide player of the notification sounds.
    static SoundPlayer &Instance();

    // Ends the current sound and starts this file; a looped sound restarts at its
    // end until stopped. False (and nothing plays) when the file is missing or the
    // pipeline cannot start; `error` then says why.
    bool Play(const std::string &path, bool loop, std::string *error = nullptr);
    // Ends whatever sound plays; harmless when none does.
    void Stop();
    // True from a successful Play until Stop, the end of a sound played once, or
    // a playback error.
    bool IsPlaying() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};
