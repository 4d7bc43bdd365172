#include "console/UserPickers.h"

#include "core/NumberUtils.h"

namespace zox::pickers {

namespace {

std::vector<PickerUser> ToPickerUsers(int rc, const std::vector<ST_ZOX_SYSTEM_USER> &rows)
{
    std::vector<PickerUser> users;
    if (rc < 0)
        return users;
    users.reserve(rows.size());
    for (const ST_ZOX_SYSTEM_USER &u : rows)
        users.push_back(MakePickerUser(u));
    return users;
}

} // namespace

PickerUser MakePickerUser(const ST_ZOX_SYSTEM_USER &user)
{
    PickerUser p;
    p.number = user.userNumber;
    if (user.displayName != user.userNumber)
        p.name = user.displayName;
    p.text = MakeDisplayName(user.userNumber, user.displayName);
    return p;
}

std::vector<PickerGroup> BuildAddUserTree(IDispatchCacheReads *cache, const std::string &allUserName)
{
    std::vector<PickerGroup> tree(1);
    tree[0].name = allUserName;
    if (!cache)
        return tree;
    std::vector<ST_ZOX_SYSTEM_USER> rows;
    int rc = cache->GetAvailableUsers(rows);
    tree[0].users = ToPickerUsers(rc, rows);

    std::vector<ST_ZOX_SYSTEM_GROUP> groups;
    if (cache->GetSystemGroups(groups) < 0)
        return tree;
    for (const ST_ZOX_SYSTEM_GROUP &g : groups) {
        PickerGroup node;
        node.name = g.groupName;
        rows.clear();
        rc = cache->GetGroupAvailableMembers(g.groupId, rows);
        node.users = ToPickerUsers(rc, rows);
        tree.push_back(std::move(node));
    }
    return tree;
}

} // namespace zox::pickers
