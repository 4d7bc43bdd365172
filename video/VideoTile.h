#pragma once
// What a session needs of a video tile. The tile belongs to its owner (the video wall
// or a popup); a session only drives it, and only on the user-interface thread.
#include <cstdint>
#include <string>

enum EN_ZOX_VIDEOWND_STATE : int {
    ZOX_VIDEOWND_FREE = 0,
    ZOX_VIDEOWND_STARTING = 1,
    ZOX_VIDEOWND_PLAYING = 2,
};

enum EN_ZOX_VIDEOWND_SERVICE : int {
    ZOX_VIDEOWND_UPLOAD = 0,
    ZOX_VIDEOWND_CALL = 1,
    ZOX_VIDEOWND_RTSP = 2,
};

// (user data, keep aspect ratio) -> 0
typedef int (*VideoKarCallback)(const void *userData, int keep);

class IVideoTile {
public:
    virtual ~IVideoTile() = default;
    virtual void SetUser(const std::string &name, const std::string &number, int userType) = 0;
    virtual void SetService(EN_ZOX_VIDEOWND_SERVICE service) = 0;
    virtual void SetState(EN_ZOX_VIDEOWND_STATE state) = 0;
    virtual void SetSelected(bool selected) = 0;
    // The native window the video is rendered into (0: none).
    virtual uintptr_t GetHandle() = 0;
    virtual void SetVideoSize(uint32_t width, uint32_t height) = 0;
    virtual void SetRecording(bool recording) = 0;
    virtual void SetSoundEnable(bool enable) = 0;
    virtual void SetSoundOpen(bool open) = 0;
    virtual void SetVideoKarCallback(const void *userData, VideoKarCallback callback) = 0;
    // Takes over what the source tile shows (callback, stretch, user, service, state,
    // video size, recording, selection). Null: nothing.
    virtual void Clone(IVideoTile *source) = 0;
};

// Tiles freed by their owner (user-interface thread only). A change a session posted
// before its tile was freed must not reach the freed tile; a tile registers when it is
// built and retires when it is freed. Tiles never registered count as alive.
void RegisterVideoTile(const IVideoTile *tile);
void RetireVideoTile(const IVideoTile *tile);
bool IsVideoTileAlive(const IVideoTile *tile);
