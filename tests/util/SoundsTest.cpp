// The notification sounds: one player, looped or once, flags per sound; silent and
// harmless without a sound device or without the file.
#include "core/Sounds.h"
#include "medialib/SoundPlayer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// No sound server reachable and no sound card: the player must fall back quietly.
class SoundsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("PULSE_SERVER", "unix:/nonexistent-zox-sound", 1); }
    void TearDown() override
    {
        StopRingIn();
        StopRingBack();
        SoundPlayer::Instance().Stop();
    }

    // A working folder holding res/<name>.wav copies of the shipped sounds.
    void installSounds(const zoxtest::TempDir &dir)
    {
        fs::create_directories(dir.path() / "res");
        for (const char *n : {"ringin.wav", "ringback.wav", "complete.wav"})
            fs::copy_file(fs::path(ZOX_SOURCE_DIR) / "res" / "sounds" / n, dir.path() / "res" / n);
    }
};

void writeLe(std::ofstream &f, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        f.put(char((v >> (8 * i)) & 0xFF));
}

// A mono 16-bit PCM tone of the given length.
void writeWav(const fs::path &path, double seconds)
{
    const uint32_t rate = 8000;
    const uint32_t frames = uint32_t(rate * seconds);
    std::ofstream f(path, std::ios::binary);
    f.write("RIFF", 4);
    writeLe(f, 36 + frames * 2, 4);
    f.write("WAVEfmt ", 8);
    writeLe(f, 16, 4);
    writeLe(f, 1, 2);
    writeLe(f, 1, 2);
    writeLe(f, rate, 4);
    writeLe(f, rate * 2, 4);
    writeLe(f, 2, 2);
    writeLe(f, 16, 2);
    f.write("data", 4);
    writeLe(f, frames * 2, 4);
    for (uint32_t i = 0; i < frames; ++i)
        writeLe(f, uint32_t(int16_t(3000 * std::sin(i * 0.3))) & 0xFFFF, 2);
}

bool waitUntil(const std::function<bool()> &cond, std::chrono::milliseconds limit)
{
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        if (cond())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return cond();
}

} // namespace

TEST_F(SoundsTest, MissingFilesLeaveFlagsFalse)
{
    zoxtest::TempDir dir;
    zoxtest::ScopedCwd cwd(dir.path());
    const auto start = Clock::now();
    StartRingIn();
    EXPECT_FALSE(IsRingInPlaying());
    StartRingBack();
    EXPECT_FALSE(IsRingBackPlaying());
    PlayCompleteSound();
    EXPECT_FALSE(SoundPlayer::Instance().IsPlaying());
    StopRingIn();
    StopRingBack();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

// One sound at a time; a stop acts only when its own flag is set, and then ends
// whatever sound plays.
TEST_F(SoundsTest, FlagsAndOneSoundAtATime)
{
    zoxtest::TempDir dir;
    installSounds(dir);
    zoxtest::ScopedCwd cwd(dir.path());
    SoundPlayer &player = SoundPlayer::Instance();

    StartRingBack();
    ASSERT_TRUE(IsRingBackPlaying());
    EXPECT_TRUE(player.IsPlaying());

    StopRingIn(); // not started: does nothing, ring-back goes on
    EXPECT_FALSE(IsRingInPlaying());
    EXPECT_TRUE(player.IsPlaying());
    EXPECT_TRUE(IsRingBackPlaying());

    StartRingIn(); // ends ring-back's sound; its flag stays
    EXPECT_TRUE(IsRingInPlaying());
    EXPECT_TRUE(IsRingBackPlaying());
    EXPECT_TRUE(player.IsPlaying());

    StopRingBack(); // its flag was set: ends the sound that plays (ring-in)
    EXPECT_FALSE(IsRingBackPlaying());
    EXPECT_TRUE(IsRingInPlaying());
    EXPECT_FALSE(player.IsPlaying());

    StopRingIn();
    EXPECT_FALSE(IsRingInPlaying());
    StopRingIn();

    StartRingIn();
    ASSERT_TRUE(IsRingInPlaying());
    PlayCompleteSound(); // replaces the ring
    EXPECT_TRUE(player.IsPlaying());
    StopRingIn();
    EXPECT_FALSE(player.IsPlaying());
}

// A looped sound restarts at its end; a sound played once ends by itself.
TEST_F(SoundsTest, LoopedRestartsOnceEnds)
{
    zoxtest::TempDir dir;
    writeWav(dir.path() / "short.wav", 0.15);
    SoundPlayer player;

    ASSERT_TRUE(player.Play((dir.path() / "short.wav").string(), false));
    EXPECT_TRUE(waitUntil([&] { return !player.IsPlaying(); }, std::chrono::seconds(10)));

    ASSERT_TRUE(player.Play((dir.path() / "short.wav").string(), true));
    std::this_thread::sleep_for(std::chrono::milliseconds(800)); // several loops
    EXPECT_TRUE(player.IsPlaying());
    player.Stop();
    EXPECT_FALSE(player.IsPlaying());
}

// Broken or absent files, folders and empty names: a refused start, never a hang.
TEST_F(SoundsTest, BadFilesRefused)
{
    zoxtest::TempDir dir;
    dir.write("garbage.wav", std::string(5000, '\x7F'));
    dir.write("empty.wav", "");
    fs::create_directories(dir.path() / "folder.wav");
    SoundPlayer player;
    for (const std::string name : {"garbage.wav", "empty.wav", "folder.wav", "absent.wav", ""}) {
        SCOPED_TRACE(name);
        const auto start = Clock::now();
        std::string error;
        EXPECT_FALSE(player.Play((dir.path() / name).string(), true, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(player.IsPlaying());
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    }
    player.Stop();
}

// Start and stop in quick succession, as alerts come and go.
TEST_F(SoundsTest, RapidStartStop)
{
    zoxtest::TempDir dir;
    installSounds(dir);
    zoxtest::ScopedCwd cwd(dir.path());
    const auto start = Clock::now();
    for (int i = 0; i < 20; ++i) {
        StartRingIn();
        StartRingBack();
        StopRingIn();
        StopRingBack();
    }
    EXPECT_FALSE(IsRingInPlaying());
    EXPECT_FALSE(IsRingBackPlaying());
    EXPECT_FALSE(SoundPlayer::Instance().IsPlaying());
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(60));
}
