#pragma once
// Folder helpers: creating a folder with its missing parents and the machine's
// public videos folder (the fallback recording folder).
#include <string>

// Creates the folder and its missing parents. True only when the last folder was
// created by this call: a folder that already exists gives false, as does a path
// without any separator.
bool CreateDirectories(const std::string &path);

// The public videos folder of this machine (not created by the query).
std::string GetPublicVideosFolder();
