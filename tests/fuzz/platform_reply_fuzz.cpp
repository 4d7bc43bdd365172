// HTTP reply bodies of the vehicle and user platforms: the three vehicle-platform
// readers, and the JSON helpers the user-platform link reads its pages with.
#include <cstddef>
#include <cstdint>
#include <climits>

#include "platforms/CmsDataModule.h"
#include "platforms/PlatformReply.h"

using namespace zox::platforms;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > INT_MAX)
        return 0;
    const char *text = reinterpret_cast<const char *>(data);
    const int length = int(size);
    size_t seen = 0;

    ST_CMS_LOGIN_RES login;
    ParseCmsLoginResponse(text, length, login);
    ST_CMS_VEHICLE_RES vehicles;
    if (ParseCmsVehicleResponse(text, length, vehicles))
        for (const auto &v : vehicles.vehicles)
            seen += v.devices.size() + v.name.size();
    ST_CMS_DEVSTATUS_RES states;
    ParseCmsDeviceStatusResponse(text, length, states);

    Json::Value root;
    if (ParseJsonObject(text, size, root)) {
        seen += size_t(JsonInt(root, "total", 0)) + JsonString(root, "msg").size();
        if (const Json::Value *obj = JsonMember(root, "obj"))
            seen += JsonText(*obj).size() + JsonString(*obj, "Id").size();
        if (const Json::Value *rows = JsonArray(root, "rows"))
            for (const Json::Value &row : *rows)
                seen += JsonString(row, "VoipNum").size() + size_t(JsonHasInt(row, "id"));
    }
    // What the links log of a reply they could not read.
    if (LogQuote(text, size).size() > kLogQuoteMax)
        __builtin_trap();
    return seen == size_t(-1);
}
