#pragma once
// One row of a user check list: the forwarding pick list fills it, the check-list
// dialog shows it and hands it back.
#include <string>
#include <vector>

struct ST_USER_SELECT_ITEM {
    std::string text;     // the row's text: for forwarding, the number of a user in a
                          // connected video call with the console
    bool preset = false;  // ticked when the list opens (forwarding: the video already goes there)
    bool checked = false; // ticked when the list closed (filled on reading back)
};
using ST_VECT_USER_SELECT = std::vector<ST_USER_SELECT_ITEM>;
