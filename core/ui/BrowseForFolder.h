#pragma once
// The folder picker, titled "Select folder...", owned by the application's active
// window.
#include <string>

// The chosen folder with a trailing "/", or the empty text on cancel.
std::string BrowseForFolder();
