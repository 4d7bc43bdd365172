#include "medialib/SoundPlayer.h"

#include <gst/gst.h>

#include <atomic>
#include <mutex>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// How long a start may take to reach playing before it counts as started anyway
// (the sink may still be opening); an error found within it fails the start.
constexpr GstClockTime kStartWait = 3 * GST_SECOND;
constexpr GstClockTime kBusPoll = 100 * GST_MSECOND;

bool gstReady()
{
    static const bool ok = [] {
        GError *err = nullptr;
        const bool r = gst_init_check(nullptr, nullptr, &err);
        if (err)
            g_error_free(err);
        return r;
    }();
    return ok;
}

bool readableFile(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), R_OK) == 0;
}

} // namespace

struct SoundPlayer::Impl {
    std::mutex lock; // serialises Play and Stop
    GstElement *pipeline = nullptr;
    std::thread watcher;
    std::atomic<bool> quit{false};
    std::atomic<bool> playing{false};
    bool loop = false;

    void watch();
    void stopLocked();
};

void SoundPlayer::Impl::watch()
{
    GstBus *bus = gst_element_get_bus(pipeline);
    while (!quit.load()) {
        GstMessage *msg = gst_bus_timed_pop_filtered(
            bus, kBusPoll, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR | GST_MESSAGE_APPLICATION));
        if (!msg)
            continue;
        if (GST_MESSAGE_TYPE(msg) == GST_MESSAGE_APPLICATION) {
            gst_message_unref(msg); // the wake-up of a stop
            continue;
        }
        const GstMessageType type = GST_MESSAGE_TYPE(msg);
        gst_message_unref(msg);
        if (type == GST_MESSAGE_EOS && loop) {
            if (gst_element_seek_simple(pipeline, GST_FORMAT_TIME,
                                        GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), 0))
                continue;
        }
        // Played once to the end, a failed restart, or an error: release the sink.
        playing.store(false);
        gst_element_set_state(pipeline, GST_STATE_NULL);
        break;
    }
    gst_object_unref(bus);
}

void SoundPlayer::Impl::stopLocked()
{
    if (!pipeline)
        return;
    quit.store(true);
    if (watcher.joinable()) {
        // Wake the watcher at once instead of at its next poll.
        gst_element_post_message(pipeline, gst_message_new_application(
                                               GST_OBJECT(pipeline), gst_structure_new_empty("zox-stop")));
        watcher.join();
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    pipeline = nullptr;
    playing.store(false);
    quit.store(false);
}

SoundPlayer::SoundPlayer() : m(std::make_unique<Impl>()) {}

SoundPlayer::~SoundPlayer()
{
    std::lock_guard<std::mutex> lk(m->lock);
    m->stopLocked();
}

SoundPlayer &SoundPlayer::Instance()
{
    static SoundPlayer player;
    return player;
}

bool SoundPlayer::Play(const std::string &path, bool loop, std::string *error)
{
    std::lock_guard<std::mutex> lk(m->lock);
    m->stopLocked();
    auto fail = [&](const char *why) {
        if (error)
            *error = why;
        if (m->pipeline) {
            gst_element_set_state(m->pipeline, GST_STATE_NULL);
            gst_object_unref(m->pipeline);
            m->pipeline = nullptr;
        }
        return false;
    };
    if (!readableFile(path))
        return fail("file not found");
    if (!gstReady())
        return fail("GStreamer not available");
    GError *err = nullptr;
    gchar *uri = gst_filename_to_uri(path.c_str(), &err);
    if (err)
        g_error_free(err);
    if (!uri)
        return fail("bad file name");
    m->pipeline = gst_element_factory_make("playbin", nullptr);
    if (!m->pipeline) {
        g_free(uri);
        return fail("no playbin");
    }
    g_object_set(m->pipeline, "uri", uri, nullptr);
    g_free(uri);
    // A sound needs no video branch.
    if (GstElement *noVideo = gst_element_factory_make("fakesink", nullptr))
        g_object_set(m->pipeline, "video-sink", noVideo, nullptr);

    if (gst_element_set_state(m->pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return fail("cannot start playback");
    // A start still pending after the wait is not a sound that plays: report it as a
    // failure rather than a success that may never sound.
    switch (gst_element_get_state(m->pipeline, nullptr, nullptr, kStartWait)) {
    case GST_STATE_CHANGE_FAILURE:
        return fail("cannot play the file");
    case GST_STATE_CHANGE_ASYNC:
        return fail("playback did not start in time");
    default:
        break;
    }
    m->loop = loop;
    m->playing.store(true);
    m->watcher = std::thread([impl = m.get()] { impl->watch(); });
    return true;
}

void SoundPlayer::Stop()
{
    std::lock_guard<std::mutex> lk(m->lock);
    m->stopLocked();
}

bool SoundPlayer::IsPlaying() const { return m->playing.load(); }
