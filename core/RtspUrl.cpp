#include "core/RtspUrl.h"

#include <boost/regex.hpp>

#include <cctype>

int ParseRtspUrlAddress(const std::string &url, std::string &address, std::string &port)
{
    static const char scheme[] = "rtsp://";
    if (url.size() <= 7)
        return 0;
    for (std::size_t i = 0; i < 7; ++i) {
        if (std::tolower(static_cast<unsigned char>(url[i])) != scheme[i])
            return 0;
    }
    static const boost::regex dotted("([0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3})");
    boost::smatch match;
    try {
        if (!boost::regex_search(url, match, dotted))
            return 0;
    } catch (const std::exception &) {
        return 0; // the expression's own limits on a pathological text
    }
    const std::string found = match.str(0);
    address = found;
    const std::size_t at = url.find(found);
    std::size_t q = at + found.size();
    if (q < url.size() && url[q] == ':') {
        std::size_t end = q + 1;
        while (end < url.size() && std::isdigit(static_cast<unsigned char>(url[end])))
            ++end;
        if (end > q + 1)
            port = url.substr(q + 1, end - q - 1);
    }
    return 1;
}
