#pragma once
// What the settings dialog lists and writes, without its window: the capture cameras
// with the frame sizes and rates that the media library can use, the entries of the
// resolution and rate lists, and which configuration keys OK changes.
#include "medialib/CaptureDevices.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CSystemConfig;

struct VideoFormatPair {
    int32_t size = 0; // the media library's video-size index of width x height
    int32_t width = 0;
    int32_t height = 0;
    uint32_t fps = 0;
};
using VideoFormatPairs = std::vector<VideoFormatPair>;

// The cameras offered, by position in the list, and the formats of each position.
struct ConfigCameraList {
    std::vector<std::string> names;
    std::map<int, VideoFormatPairs> formats;
};

// Lists every device that has a name and whose formats were read. A format is kept
// when the media library has a size index of exactly its frame size and its rate
// has a denominator above 0 (the rate rounded down).
ConfigCameraList BuildCameraList(const std::vector<VideoCaptureDevice> &devices);

struct ResolutionEntry {
    std::string text; // "width x height"
    int size = 0;     // the size index
};

// Each frame size once, in the formats' order; *selected is the position of the
// configured size index, or -1 when it is not offered.
std::vector<ResolutionEntry> ResolutionEntries(const VideoFormatPairs &formats, uint32_t configuredSize,
                                               int *selected);
// Each rate once among the formats of the frame size named by resolutionText; *selected
// is the position of the configured rate, or -1.
std::vector<uint32_t> FpsEntries(const VideoFormatPairs &formats, const std::string &resolutionText,
                                 uint32_t configuredFps, int *selected);

// What the dialog holds when OK is pressed; -1 where a list has no selection.
struct ConfigDialogValues {
    std::string title;
    std::string department;
    std::string recordPath;
    int cameraPosition = -1;
    int sizeIndex = -1;
    int fps = -1;
    bool cameraPreview = false;
};

// Writes, in order, the title, department and folder (trimmed, when they differ; the
// title and folder only when not empty), the camera, size and rate (when selected;
// the setters write only a changed value) and the preview flag (always). Throws the
// configuration's EIniFileException when a key cannot be written.
void ApplyConfigValues(CSystemConfig &config, const ConfigDialogValues &values);

// The text without leading and trailing blanks.
std::string TrimBlanks(const std::string &text);
