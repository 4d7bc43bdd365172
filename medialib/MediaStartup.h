#pragma once
// Start and stop of the media layer, and its log bridge.
// The layer writes its own lines through callbacks that the console installs; it
// never includes the console's headers.
#include <cstdarg>

// Network side: nothing to set up on this platform beyond checking that sockets
// can be made. 0 = started.
int tnet_startup();
int tnet_cleanup();
// errno of the last failed socket call of the media layer on this thread.
int tnet_geterrno();

// Media side: initialises GStreamer (once per process) and checks the elements
// every session needs. 0 = started, else an error code (1 GStreamer failed to
// start, 2 an element is missing).
int tdav_init();
int tdav_deinit();
bool tdav_is_started();

// Log bridge: level 1 fatal only, 2 + errors, 3 + warnings, 4 + information.
// Each callback gets (context, format, arguments); any thread may call them.
typedef int (*tsk_debug_f)(const void *context, const char *format, ...);
void tsk_debug_set_level(int level);
int tsk_debug_get_level();
void tsk_debug_set_info_cb(tsk_debug_f cb);
void tsk_debug_set_warn_cb(tsk_debug_f cb);
void tsk_debug_set_error_cb(tsk_debug_f cb);
void tsk_debug_set_fatal_cb(tsk_debug_f cb);

// Whether sessions use the sound devices (PulseAudio reachable) or the silent
// live source with a discarding sink. The environment variable ZOX_MEDIA_AUDIO
// decides when set: "none" forces the silent source, "pulse" forces PulseAudio.
bool tmedia_audio_devices_present();
