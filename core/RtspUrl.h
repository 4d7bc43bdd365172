#pragma once
// The dotted IPv4 address and the port of a camera's rtsp URL.
#include <string>

// 1 when the URL starts with "rtsp://" (any case) and holds a dotted address:
// the address is written, and the port when ":" and at least one digit follow the
// address. 0 otherwise. Outputs not found keep the caller's values.
int ParseRtspUrlAddress(const std::string &url, std::string &address, std::string &port);
