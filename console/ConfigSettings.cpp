#include "console/ConfigSettings.h"

#include "core/SystemConfig.h"
#include "medialib/MediaDefaults.h"

#include <algorithm>

ConfigCameraList BuildCameraList(const std::vector<VideoCaptureDevice> &devices)
{
    ConfigCameraList list;
    for (const auto &device : devices) {
        if (device.name.empty() || !device.formatsRead)
            continue;
        const int position = static_cast<int>(list.names.size());
        VideoFormatPairs &pairs = list.formats[position];
        for (const auto &f : device.formats) {
            if (f.fpsDenominator == 0)
                continue;
            int index = -1;
            if (tmedia_video_get_pref_size(f.width, f.height, &index) != 0)
                continue;
            VideoFormatPair p;
            p.size = index;
            p.width = static_cast<int32_t>(f.width);
            p.height = static_cast<int32_t>(f.height);
            p.fps = f.fpsNumerator / f.fpsDenominator;
            pairs.push_back(p);
        }
        list.names.push_back(device.name);
    }
    return list;
}

namespace {
std::string SizeText(const VideoFormatPair &p) { return std::to_string(p.width) + " x " + std::to_string(p.height); }
} // namespace

std::vector<ResolutionEntry> ResolutionEntries(const VideoFormatPairs &formats, uint32_t configuredSize,
                                               int *selected)
{
    std::vector<ResolutionEntry> out;
    int pick = -1;
    for (const auto &p : formats) {
        const std::string text = SizeText(p);
        if (std::any_of(out.begin(), out.end(), [&](const ResolutionEntry &e) { return e.text == text; }))
            continue;
        if (p.size >= 0 && static_cast<uint32_t>(p.size) == configuredSize)
            pick = static_cast<int>(out.size());
        out.push_back({text, p.size});
    }
    if (selected)
        *selected = pick;
    return out;
}

std::vector<uint32_t> FpsEntries(const VideoFormatPairs &formats, const std::string &resolutionText,
                                 uint32_t configuredFps, int *selected)
{
    std::vector<uint32_t> out;
    int pick = -1;
    for (const auto &p : formats) {
        if (SizeText(p) != resolutionText || std::find(out.begin(), out.end(), p.fps) != out.end())
            continue;
        if (p.fps == configuredFps)
            pick = static_cast<int>(out.size());
        out.push_back(p.fps);
    }
    if (selected)
        *selected = pick;
    return out;
}

std::string TrimBlanks(const std::string &text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t b = 0, e = text.size();
    while (b < e && blank(text[b]))
        ++b;
    while (e > b && blank(text[e - 1]))
        --e;
    return text.substr(b, e - b);
}

void ApplyConfigValues(CSystemConfig &config, const ConfigDialogValues &values)
{
    const std::string title = TrimBlanks(values.title);
    if (title != config.GetTitle())
        config.SetTitle(title);
    const std::string department = TrimBlanks(values.department);
    if (department != config.GetDepartment())
        config.SetDepartment(department);
    const std::string path = TrimBlanks(values.recordPath);
    if (!path.empty() && path != config.GetRecordPath())
        config.SetRecordPath(path);
    if (values.cameraPosition >= 0)
        config.SetCameraId(values.cameraPosition);
    if (values.sizeIndex >= 0)
        config.SetResolution(values.sizeIndex);
    if (values.fps >= 0)
        config.SetFps(values.fps);
    config.SetCameraPreview(values.cameraPreview);
}
