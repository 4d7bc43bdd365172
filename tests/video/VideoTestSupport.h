#pragma once
// A video tile that records what sessions do to it (user-interface thread only).
#include "video/VideoTile.h"

#include <string>

struct FakeTile : IVideoTile {
    int state = 0;
    int service = -1;
    bool selected = true;
    bool recording = false;
    bool soundEnabled = false, soundOpen = false;
    std::string name, number;
    int userType = -1;
    uint32_t width = 0, height = 0;
    const void *karData = nullptr;
    VideoKarCallback kar = nullptr;
    uintptr_t handle = 0x1234;
    int clones = 0;

    void SetUser(const std::string &n, const std::string &num, int type) override
    {
        name = n;
        number = num;
        userType = type;
    }
    void SetService(EN_ZOX_VIDEOWND_SERVICE s) override { service = s; }
    void SetState(EN_ZOX_VIDEOWND_STATE s) override
    {
        if (state == 2 && s != 2) {
            kar = nullptr;
            karData = nullptr;
            soundEnabled = false;
        }
        state = s;
    }
    void SetSelected(bool s) override { selected = s; }
    uintptr_t GetHandle() override { return handle; }
    void SetVideoSize(uint32_t w, uint32_t h) override
    {
        width = w;
        height = h;
    }
    void SetRecording(bool r) override { recording = r; }
    void SetSoundEnable(bool e) override { soundEnabled = e; }
    void SetSoundOpen(bool o) override
    {
        if (soundEnabled || !o)
            soundOpen = o;
    }
    void SetVideoKarCallback(const void *d, VideoKarCallback cb) override
    {
        karData = d;
        kar = cb;
    }
    void Clone(IVideoTile *source) override
    {
        auto *s = static_cast<FakeTile *>(source);
        if (!s)
            return;
        ++clones;
        karData = s->karData;
        kar = s->kar;
        SetUser(s->name, s->number, s->userType);
        service = s->service;
        SetState(EN_ZOX_VIDEOWND_STATE(s->state));
        SetVideoSize(s->width, s->height);
        recording = s->recording;
        selected = s->selected;
    }
};
