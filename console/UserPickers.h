#pragma once
// What the two user pickers show: the rows of the forwarding check list, and the
// groups and available users of the add-user tree. Window-free; the dialogs
// (console/ui/Forwardvideofrm.*, console/ui/Adduserfrm.*) show and read them.
#include "console/DispatchCacheReads.h"
#include "dispatch/UserSelectItem.h"

#include <string>
#include <vector>


namespace zox::pickers {

// A user node of the add-user tree: its number and name as the cache holds them (the
// name empty when it is empty or equals the number) and the text shown for it.
struct PickerUser {
    std::string number;
    std::string name;
    std::string text;
};

struct PickerGroup {
    std::string name;
    std::vector<PickerUser> users;
};

PickerUser MakePickerUser(const ST_ZOX_SYSTEM_USER &user);

// The add-user tree: first `allUserName` with every available user of the cache, then
// one node per server group (cache order) with its available members. Without a cache
// only the first node, empty; a read that fails leaves its node empty (a failed group
// list: no group nodes).
std::vector<PickerGroup> BuildAddUserTree(IDispatchCacheReads *cache, const std::string &allUserName);

} // namespace zox::pickers
