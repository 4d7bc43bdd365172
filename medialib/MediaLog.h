#pragma once
// The media layer's own log lines (internal to medialib), sent through the
// callbacks of MediaStartup.h at the configured level.

void MediaLogFatal(const char *format, ...) __attribute__((format(printf, 1, 2)));
void MediaLogError(const char *format, ...) __attribute__((format(printf, 1, 2)));
void MediaLogWarn(const char *format, ...) __attribute__((format(printf, 1, 2)));
void MediaLogInfo(const char *format, ...) __attribute__((format(printf, 1, 2)));
