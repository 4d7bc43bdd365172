#pragma once
// One row of a user check list: the forwarding pick list fills it, the check-list
// dialog shows it and hands it back.
#include <string>
#include <vector>

struct ST_USER_SELECT_ITEM {
    std::string text;     // the number of a user in a connected video call with the console
    bool preset = false;  // the source's video already went to that call when the list was built
    bool checked = false; // the state the dispatcher left in the list
};
using ST_VECT_USER_SELECT = std::vector<ST_USER_SELECT_ITEM>;
