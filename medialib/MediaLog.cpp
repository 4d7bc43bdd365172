#include "medialib/MediaLog.h"
#include "medialib/MediaStartup.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<int> g_level{2};
std::atomic<tsk_debug_f> g_info{nullptr}, g_warn{nullptr}, g_error{nullptr}, g_fatal{nullptr};

void emit(int level, std::atomic<tsk_debug_f> &cb, const char *format, va_list args)
{
    if (g_level.load() < level)
        return;
    tsk_debug_f f = cb.load();
    if (!f)
        return;
    char text[2048];
    std::vsnprintf(text, sizeof text, format, args);
    f(nullptr, "%s", text);
}
} // namespace

void tsk_debug_set_level(int level) { g_level = level; }
int tsk_debug_get_level() { return g_level.load(); }
void tsk_debug_set_info_cb(tsk_debug_f cb) { g_info = cb; }
void tsk_debug_set_warn_cb(tsk_debug_f cb) { g_warn = cb; }
void tsk_debug_set_error_cb(tsk_debug_f cb) { g_error = cb; }
void tsk_debug_set_fatal_cb(tsk_debug_f cb) { g_fatal = cb; }

#define MEDIA_LOG_BODY(level, cb)                                                                  \
    va_list args;                                                                                  \
    va_start(args, format);                                                                        \
    emit(level, cb, format, args);                                                                 \
    va_end(args)

void MediaLogFatal(const char *format, ...) { MEDIA_LOG_BODY(1, g_fatal); }
void MediaLogError(const char *format, ...) { MEDIA_LOG_BODY(2, g_error); }
void MediaLogWarn(const char *format, ...) { MEDIA_LOG_BODY(3, g_warn); }
void MediaLogInfo(const char *format, ...) { MEDIA_LOG_BODY(4, g_info); }
