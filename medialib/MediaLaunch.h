#pragma once
// Small helpers around whole GStreamer pipelines described as text, for the
// benchmark, the tests (RTP test senders, decoding a recording) and diagnostics.
#include <cstdint>
#include <string>

struct MediaLaunch;

// Parses and plays a pipeline ("videotestsrc ! ..."); null with the reason on failure.
// tdav_init must have run.
MediaLaunch *MediaLaunchStart(const std::string &description, std::string *error);
// Waits for the end of the stream (true) or an error / the time limit (false).
bool MediaLaunchWaitEos(MediaLaunch *launch, int timeoutMs, std::string *error = nullptr);
// The negotiated caps of a named element's pad as text ("" when none yet).
std::string MediaLaunchPadCaps(MediaLaunch *launch, const char *element, const char *pad);
// Sets an integer property of a named element (e.g. a sink's port); false when unknown.
bool MediaLaunchSetInt(MediaLaunch *launch, const char *element, const char *property, int value);
// Buffers that reached the sink pad of a named element (or of the element a pipeline
// property names, e.g. playbin's "video-sink") since the first call, which starts the
// count.
uint64_t MediaLaunchBufferCount(MediaLaunch *launch, const char *element);
// Stops and frees the pipeline; null is allowed.
void MediaLaunchStop(MediaLaunch *launch);

struct MediaFileCheck {
    bool ok = false;        // decoded to the end without error
    uint64_t frames = 0;    // decoded pictures
    unsigned width = 0, height = 0;
    std::string error;
};
// Decodes an H.264 (or H.265) Annex-B file to the end.
MediaFileCheck MediaDecodeFile(const std::string &path, bool h265, int timeoutMs);
