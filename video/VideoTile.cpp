#include "video/VideoTile.h"

#include <unordered_set>

namespace {
std::unordered_set<const IVideoTile *> &Retired()
{
    static std::unordered_set<const IVideoTile *> set;
    return set;
}
} // namespace

void RegisterVideoTile(const IVideoTile *tile) { Retired().erase(tile); }

void RetireVideoTile(const IVideoTile *tile) { Retired().insert(tile); }

bool IsVideoTileAlive(const IVideoTile *tile) { return tile && Retired().count(tile) == 0; }
