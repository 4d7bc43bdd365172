#include "core/Sounds.h"

#include "core/Log.h"
#include "medialib/SoundPlayer.h"

#include <QDir>

#include <atomic>
#include <string>

namespace {

std::atomic<bool> g_ringInPlaying{false};
std::atomic<bool> g_ringBackPlaying{false};

// The working folder is taken when the sound starts.
std::string soundPath(const char *name)
{
    return QDir::currentPath().toStdString() + "/res/" + name;
}

bool play(const char *name, bool loop)
{
    const std::string path = soundPath(name);
    std::string error;
    if (SoundPlayer::Instance().Play(path, loop, &error))
        return true;
    WriteLog("sound: cannot play %s: %s", path.c_str(), error.c_str());
    return false;
}

} // namespace

void PlayCompleteSound() { play("complete.wav", false); }

void StartRingIn() { g_ringInPlaying = play("ringin.wav", true); }

void StopRingIn()
{
    if (!g_ringInPlaying.exchange(false))
        return;
    SoundPlayer::Instance().Stop();
}

void StartRingBack() { g_ringBackPlaying = play("ringback.wav", true); }

void StopRingBack()
{
    if (!g_ringBackPlaying.exchange(false))
        return;
    SoundPlayer::Instance().Stop();
}

bool IsRingInPlaying() { return g_ringInPlaying.load(); }
bool IsRingBackPlaying() { return g_ringBackPlaying.load(); }
