#pragma once
// Stream descriptions (SDP) read with GStreamer's SDP library.
#include <cstddef>

struct tsdp_message_t;
struct tsdp_header_M_t; // one media description, owned by its message

// Null when the text is not a valid description (or is empty or too long).
tsdp_message_t *tsdp_message_parse(const void *data, size_t size);
// The first media description of that media name ("video", "audio"), or null.
const tsdp_header_M_t *tsdp_message_find_media(const tsdp_message_t *sdp, const char *media);
// The value of the first attribute of that name ("" for a flag attribute), or null.
const char *tsdp_header_M_findA(const tsdp_header_M_t *m, const char *name);
// True when the media description lists that format ("8").
bool tsdp_header_M_have_fmt(const tsdp_header_M_t *m, const char *fmt);
void tsk_object_unref(tsdp_message_t *sdp);
