#include "core/RecordingName.h"

#include <cstdio>
#include <sys/stat.h>

namespace {
bool exists(const std::string &p)
{
    struct stat st;
    return ::lstat(p.c_str(), &st) == 0;
}
} // namespace

std::string RecordingMonthText(const std::tm &t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d%02d", t.tm_year + 1900, t.tm_mon + 1);
    return text;
}

std::string RecordingTimeText(const std::tm &t)
{
    char text[80];
    std::snprintf(text, sizeof text, "%d%02d%02d%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour,
                  t.tm_min, t.tm_sec);
    return text;
}

std::string MakeRecordingFilePath(const std::string &folder, const std::string &prefix, const std::string &name,
                                  const std::tm &t, const std::string &ext)
{
    std::string base = folder + "/" + prefix + name + "_" + RecordingTimeText(t);
    std::string path = base + ext;
    if (!exists(path))
        return path;
    for (int i = 0; i <= 999; ++i) {
        path = base + "_" + std::to_string(i) + ext;
        if (!exists(path))
            return path;
    }
    return {};
}
