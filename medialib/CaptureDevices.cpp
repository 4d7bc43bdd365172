#include "medialib/CaptureDevices.h"

#include <gst/gst.h>

namespace {

// The frame rates of one structure field: a fraction, a list of fractions, or a
// range (its largest rate).
void CollectRates(const GValue *v, std::vector<std::pair<unsigned, unsigned>> *out)
{
    if (!v)
        return;
    if (GST_VALUE_HOLDS_FRACTION(v)) {
        const int n = gst_value_get_fraction_numerator(v);
        const int d = gst_value_get_fraction_denominator(v);
        if (n >= 0 && d >= 0)
            out->emplace_back(static_cast<unsigned>(n), static_cast<unsigned>(d));
    } else if (GST_VALUE_HOLDS_LIST(v)) {
        const guint size = gst_value_list_get_size(v);
        for (guint i = 0; i < size && i < 256; ++i)
            CollectRates(gst_value_list_get_value(v, i), out);
    } else if (GST_VALUE_HOLDS_FRACTION_RANGE(v)) {
        CollectRates(gst_value_get_fraction_range_max(v), out);
    }
}

bool FixedInt(const GstStructure *s, const char *field, unsigned *value)
{
    int v = 0;
    if (!gst_structure_get_int(s, field, &v) || v <= 0)
        return false;
    *value = static_cast<unsigned>(v);
    return true;
}

} // namespace

std::vector<VideoCaptureDevice> EnumVideoCaptureDevices()
{
    std::vector<VideoCaptureDevice> devices;
    if (!gst_is_initialized() && !gst_init_check(nullptr, nullptr, nullptr))
        return devices;
    GstDeviceMonitor *monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, "Video/Source", nullptr);
    if (!gst_device_monitor_start(monitor)) {
        gst_object_unref(monitor);
        return devices;
    }
    GList *list = gst_device_monitor_get_devices(monitor);
    for (GList *it = list; it; it = it->next) {
        GstDevice *device = GST_DEVICE(it->data);
        VideoCaptureDevice out;
        if (gchar *name = gst_device_get_display_name(device)) {
            out.name = name;
            g_free(name);
        }
        if (GstCaps *caps = gst_device_get_caps(device)) {
            out.formatsRead = true;
            const guint n = gst_caps_get_size(caps);
            for (guint i = 0; i < n; ++i) {
                const GstStructure *s = gst_caps_get_structure(caps, i);
                VideoCaptureFormat f;
                f.subtype = gst_structure_get_name(s);
                if (const char *format = gst_structure_get_string(s, "format"))
                    f.subtype += std::string("/") + format;
                if (!FixedInt(s, "width", &f.width) || !FixedInt(s, "height", &f.height))
                    continue;
                std::vector<std::pair<unsigned, unsigned>> rates;
                CollectRates(gst_structure_get_value(s, "framerate"), &rates);
                for (const auto &[num, den] : rates) {
                    f.fpsNumerator = num;
                    f.fpsDenominator = den;
                    out.formats.push_back(f);
                }
            }
            gst_caps_unref(caps);
        }
        devices.push_back(std::move(out));
    }
    g_list_free_full(list, gst_object_unref);
    gst_device_monitor_stop(monitor);
    gst_object_unref(monitor);
    return devices;
}
