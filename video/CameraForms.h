#pragma once
// What the camera dialogs (add and edit) check and write, without a window: the
// fields as typed, the camera row they make, the change test of an edit and the
// writes to the server-data cache. A refused entry names the message to show.
#include "core/EditionText.h"
#include "core/ZoxCacheRecords.h"

#include <optional>
#include <string>

// The cache operations the camera dialogs and the camera menu use.
class ICameraStore {
public:
    virtual ~ICameraStore() = default;
    virtual int GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) = 0;
    virtual int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera) = 0;
    virtual int InsertRtspCamera(const ST_ZOX_RTSP_CAMERA &camera) = 0;
    virtual int UpdateRtspCamera(const ST_ZOX_RTSP_CAMERA &camera) = 0;
    virtual int DeleteRtspCamera(const std::string &cid) = 0;
};

// The server-data cache of the program (g_pZoxDataModule); every operation fails
// while there is none.
ICameraStore *DefaultCameraStore();

// A dialog's entries as typed.
struct CameraFormFields {
    std::string name;
    std::string url;
    std::string username;
    std::string password;
    int transport = 0; // 0 UDP, 1 TCP
    bool enabled = true;
    bool dispatcher = false;
};

inline constexpr int kDefaultRtspPort = 554;

// The dotted IPv4 address of an rtsp URL (each of its four numbers 0..255, standing
// alone) and the port after it (1..65535; 554 when the URL names none). False for a
// URL without such an address or with a port out of range.
bool ParseCameraUrl(const std::string &url, std::string &ip, int &port);

// The checks both dialogs make (name, dispatching user, URL) and the row the entries
// give, on top of base (its id and status are kept). The message of the first failed
// check, or none.
std::optional<EN_ZOX_TEXT> BuildCameraRow(const CameraFormFields &fields, ICameraStore &store,
                                          const ST_ZOX_RTSP_CAMERA &base, ST_ZOX_RTSP_CAMERA &row);

// Whether an edit changed what the camera is: name, URL, authentication, transport,
// enabled, and with authentication on the user name and the password. The
// dispatching-user flag alone is no change.
bool IsCameraChanged(const ST_ZOX_RTSP_CAMERA &stored, const ST_ZOX_RTSP_CAMERA &edited);

// Add: checks and inserts a new camera (status 0). True when stored; else message.
bool AddCamera(const CameraFormFields &fields, ICameraStore &store, EN_ZOX_TEXT &message);

// Edit of a stored row: 0 saved, 1 unchanged (nothing written), -1 refused or not
// written (message).
int SaveCamera(const CameraFormFields &fields, const ST_ZOX_RTSP_CAMERA &stored, ICameraStore &store,
               EN_ZOX_TEXT &message);

// The entries a stored row shows in the edit dialog.
CameraFormFields FieldsOfCamera(const ST_ZOX_RTSP_CAMERA &camera);
