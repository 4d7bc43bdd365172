#include "platforms/PlatformReply.h"

#include <json/reader.h>
#include <json/writer.h>

#include <memory>

namespace zox::platforms {

bool ParseJsonObject(const char *text, std::size_t length, Json::Value &root)
{
    root = Json::Value();
    if (!text || length == 0)
        return false;
    try {
        Json::CharReaderBuilder builder;
        builder["collectComments"] = false;
        builder["allowComments"] = false;
        builder["failIfExtra"] = true;
        builder["rejectDupKeys"] = false;
        builder["stackLimit"] = 200;
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        std::string errors;
        if (!reader->parse(text, text + length, &root, &errors) || !root.isObject()) {
            root = Json::Value();
            return false;
        }
        return true;
    } catch (...) {
        root = Json::Value();
        return false;
    }
}

const Json::Value *JsonMember(const Json::Value &object, const char *key)
{
    if (!object.isObject())
        return nullptr;
    return object.find(key, key + std::char_traits<char>::length(key));
}

bool JsonHasInt(const Json::Value &object, const char *key)
{
    const Json::Value *v = JsonMember(object, key);
    return v && v->isNumeric() && v->isInt();
}

int JsonInt(const Json::Value &object, const char *key, int def)
{
    const Json::Value *v = JsonMember(object, key);
    if (!v || !v->isNumeric() || !v->isInt())
        return def;
    try {
        return v->asInt();
    } catch (...) {
        return def;
    }
}

std::string JsonString(const Json::Value &object, const char *key)
{
    const Json::Value *v = JsonMember(object, key);
    if (!v || !v->isString())
        return {};
    const char *begin = nullptr, *end = nullptr;
    if (!v->getString(&begin, &end) || !begin)
        return {};
    return std::string(begin, end);
}

const Json::Value *JsonArray(const Json::Value &object, const char *key)
{
    const Json::Value *v = JsonMember(object, key);
    return v && v->isArray() ? v : nullptr;
}

std::string JsonText(const Json::Value &value)
{
    try {
        Json::StreamWriterBuilder builder;
        builder["indentation"] = "";
        return Json::writeString(builder, value);
    } catch (...) {
        return {};
    }
}

std::string UrlEncode(const std::string &value)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size() * 3);
    for (unsigned char c : value) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

std::string LogQuote(const char *text, std::size_t length)
{
    std::string out;
    if (!text)
        return out;
    const std::size_t n = length < kLogQuoteMax ? length : kLogQuoteMax;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        out += (c < 0x20 || c == 0x7F) ? '.' : static_cast<char>(c);
    }
    return out;
}

} // namespace zox::platforms
