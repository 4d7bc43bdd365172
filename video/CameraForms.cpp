#include "video/CameraForms.h"
#include "core/RtspUrl.h"
#include "core/ZoxDataModule.h"
#include "core/ZoxLoginCache.h"

#include <cctype>
#include <cstdlib>

namespace {

class CacheStore : public ICameraStore {
public:
    int GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) override
    {
        return g_pZoxDataModule ? g_pZoxDataModule->GetSystemUser(number, user) : -1;
    }
    int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera) override
    {
        return g_pZoxDataModule ? g_pZoxDataModule->GetRtspCamera(cid, camera) : -1;
    }
    int InsertRtspCamera(const ST_ZOX_RTSP_CAMERA &camera) override
    {
        return g_pZoxDataModule ? g_pZoxDataModule->InsertRtspCamera(camera) : -1;
    }
    int UpdateRtspCamera(const ST_ZOX_RTSP_CAMERA &camera) override
    {
        return g_pZoxDataModule ? g_pZoxDataModule->UpdateRtspCamera(camera) : -1;
    }
    int DeleteRtspCamera(const std::string &cid) override
    {
        return g_pZoxDataModule ? g_pZoxDataModule->DeleteRtspCamera(cid) : -1;
    }
};

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Each of the four numbers of a dotted address: at most three digits, 0..255.
bool OctetsInRange(const std::string &address)
{
    int value = -1, digits = 0, parts = 0;
    for (char c : address + ".") {
        if (c == '.') {
            if (digits == 0 || value > 255)
                return false;
            ++parts;
            value = -1;
            digits = 0;
        } else if (IsDigit(c) && digits < 3) {
            value = (value < 0 ? 0 : value * 10) + (c - '0');
            ++digits;
        } else {
            return false;
        }
    }
    return parts == 4;
}

// The entry without blanks at either end.
std::string TrimBlanks(const std::string &text)
{
    const char *blanks = " \t\r\n\f\v";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

} // namespace

ICameraStore *DefaultCameraStore()
{
    static CacheStore store;
    return &store;
}

bool ParseCameraUrl(const std::string &url, std::string &ip, int &port)
{
    std::string address, portText;
    if (ParseRtspUrlAddress(url, address, portText) != 1 || !OctetsInRange(address))
        return false;
    // The address stands alone: "1192.168.1.1" or "10.0.0.1.5" hold no address.
    const std::size_t at = url.find(address);
    const std::size_t end = at + address.size();
    if ((at > 0 && (IsDigit(url[at - 1]) || url[at - 1] == '.')) ||
        (end < url.size() && (IsDigit(url[end]) || url[end] == '.')))
        return false;
    int number = kDefaultRtspPort;
    if (!portText.empty()) {
        if (portText.size() > 5)
            return false;
        number = std::atoi(portText.c_str());
        if (number < 1 || number > 65535)
            return false;
    }
    ip = address;
    port = number;
    return true;
}

std::optional<EN_ZOX_TEXT> BuildCameraRow(const CameraFormFields &fields, ICameraStore &store,
                                          const ST_ZOX_RTSP_CAMERA &base, ST_ZOX_RTSP_CAMERA &row)
{
    ST_ZOX_RTSP_CAMERA r;
    r.cid = base.cid;
    r.status = base.status;
    r.cname = TrimBlanks(fields.name);
    r.main_url = TrimBlanks(fields.url);
    r.username = TrimBlanks(fields.username);
    r.password = TrimBlanks(fields.password);
    r.transport = fields.transport == 1 ? 1 : 0;
    r.enabled = fields.enabled ? 1 : 0;
    r.dispatcher = fields.dispatcher ? 1 : 0;
    if (r.cname.empty())
        return EN_ZOX_TEXT::CameraNameMissing;
    if (r.dispatcher) {
        ST_ZOX_SYSTEM_USER user;
        if (store.GetSystemUser(r.cname, user) != 0)
            return EN_ZOX_TEXT::CameraNameMustBeUser;
    }
    if (!ParseCameraUrl(r.main_url, r.ip, r.port))
        return EN_ZOX_TEXT::CameraUrlInvalid;
    r.auth = r.username.empty() ? 0 : 1;
    row = r;
    return std::nullopt;
}

bool IsCameraChanged(const ST_ZOX_RTSP_CAMERA &stored, const ST_ZOX_RTSP_CAMERA &edited)
{
    if (stored.cname != edited.cname || stored.main_url != edited.main_url || stored.auth != edited.auth ||
        stored.transport != edited.transport || stored.enabled != edited.enabled)
        return true;
    return edited.auth != 0 && (stored.username != edited.username || stored.password != edited.password);
}

bool AddCamera(const CameraFormFields &fields, ICameraStore &store, EN_ZOX_TEXT &message)
{
    ST_ZOX_RTSP_CAMERA row;
    if (auto refused = BuildCameraRow(fields, store, ST_ZOX_RTSP_CAMERA{}, row)) {
        message = *refused;
        return false;
    }
    row.status = 0;
    if (store.InsertRtspCamera(row) != 0) {
        message = EN_ZOX_TEXT::CameraInsertError;
        return false;
    }
    return true;
}

int SaveCamera(const CameraFormFields &fields, const ST_ZOX_RTSP_CAMERA &stored, ICameraStore &store,
               EN_ZOX_TEXT &message)
{
    ST_ZOX_RTSP_CAMERA row;
    if (auto refused = BuildCameraRow(fields, store, stored, row)) {
        message = *refused;
        return -1;
    }
    if (!IsCameraChanged(stored, row))
        return 1;
    if (store.UpdateRtspCamera(row) != 0) {
        message = EN_ZOX_TEXT::CameraUpdateError;
        return -1;
    }
    return 0;
}

CameraFormFields FieldsOfCamera(const ST_ZOX_RTSP_CAMERA &camera)
{
    CameraFormFields f;
    f.name = camera.cname;
    f.url = camera.main_url;
    if (camera.auth != 0) {
        f.username = camera.username;
        f.password = camera.password;
    }
    f.transport = camera.transport != 0 ? 1 : 0;
    f.enabled = camera.enabled != 0;
    f.dispatcher = camera.dispatcher != 0;
    return f;
}
