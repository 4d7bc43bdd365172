#pragma once
// The console's log: log/log.txt under the working folder, one line per call,
//   "YYYY/MM/DD hh:mm:ss>>text\n"
// written and flushed under one process-wide lock, so any thread may call it.
// Past 0x7FFFFF written bytes the file becomes log/log_bak.txt and a new one begins.
#include <cstdarg>
#include <cstdint>
#include <string>

// Longest format text and formatted text accepted; a written line is at most
// kLogMaxLine bytes, its line feed included.
inline constexpr std::size_t kLogMaxText = 5120;
inline constexpr std::size_t kLogMaxLine = 5119;
inline constexpr uint64_t kLogRotateThreshold = 0x7FFFFF;

// Writes one line; returns 0. Does nothing while no log is open.
int WriteLog(const char *format, ...) __attribute__((format(printf, 1, 2)));
int WriteLogV(const char *format, va_list args);

// The same line for the media layer's output; the context is ignored.
// -1 no log open, -2 format text too long, -3 formatted text too long, 0 written.
int WriteMediaLog(const void *context, const char *format, ...) __attribute__((format(printf, 2, 3)));
int WriteMediaLogV(const void *context, const char *format, va_list args);

// Opens the file for writing (created or truncated) and sets the written-bytes count
// to 0. On failure the log stays off.
void OpenLogFile(const std::string &path);
// The check every written line ends with (called with the lock held).
void RotateLogFile();
void CloseLogFile();

// Start of the log: creates <cwd>/log, moves an existing log.txt to log_bak.txt,
// opens log.txt and writes "version: <version>".
void OpenLogAtStart(const char *versionText);

bool IsLogOpen();
// Bytes written to the open file since it was opened or last rotated.
uint64_t GetLogWrittenBytes();
