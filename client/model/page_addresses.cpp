#include "client/model/page_addresses.h"

namespace tovan {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendEscaped(std::string& out, unsigned char c) {
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 15];
}

bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == '~';
}

// Bytes a written address cannot hold as they are.
bool NeedsEscapeInBase(unsigned char c) {
    return c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' ||
           c == '`' || c == '{' || c == '|' || c == '}';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

std::string SiteBase(std::string_view merovan) {
    std::string_view s = Trim(merovan);
    while (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
        s = Trim(s.substr(1, s.size() - 2));
    }
    while (!s.empty() && s.back() == '/') s.remove_suffix(1);
    std::string out;
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (NeedsEscapeInBase(c)) {
            AppendEscaped(out, c);
        } else {
            out += ch;
        }
    }
    return out;
}

std::string PageAddress(const std::string& base, const char* path) {
    return base.empty() ? std::string() : base + path;
}

std::string CityPageAddress(const std::string& base, const char* path, std::string_view city) {
    return base.empty() ? std::string() : base + path + "?city=" + EscapeQueryValue(city);
}

std::string EscapeQueryValue(std::string_view text) {
    std::string out;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (Unreserved(c)) {
            out += ch;
        } else {
            AppendEscaped(out, c);
        }
    }
    return out;
}

}  // namespace tovan
