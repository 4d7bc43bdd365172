#pragma once
// File names of recordings: <folder>/<prefix><name>_<YYYYMMDDhhmmss><ext>, and when
// that file exists the same with "_0" ... "_999" before the extension. An existing
// recording is never chosen (so never overwritten): when all 1001 names exist the
// result is empty and the caller refuses to record.
#include <ctime>
#include <string>

// "YYYYMM" of a local time (the month folder).
std::string RecordingMonthText(const std::tm &t);
// "YYYYMMDDhhmmss" of a local time.
std::string RecordingTimeText(const std::tm &t);
std::string MakeRecordingFilePath(const std::string &folder, const std::string &prefix, const std::string &name,
                                  const std::tm &t, const std::string &ext);
