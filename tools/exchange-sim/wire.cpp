#include "tools/exchange-sim/wire.h"

namespace exsim {

std::size_t GbkCharLen(std::string_view s, std::size_t i) {
    if (i + 1 < s.size() && IsGbkLead(static_cast<unsigned char>(s[i])) &&
        IsGbkTrail(static_cast<unsigned char>(s[i + 1])))
        return 2;
    return 1;
}

std::string_view GbkCut(std::string_view s, std::size_t max_bytes) {
    if (s.size() <= max_bytes) return s;
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t n = GbkCharLen(s, i);
        if (i + n > max_bytes) break;
        i += n;
    }
    return s.substr(0, i);
}

std::size_t GbkFind(std::string_view hay, std::string_view needle, std::size_t from) {
    if (needle.empty()) return std::string_view::npos;
    for (std::size_t i = from; i + needle.size() <= hay.size(); i += GbkCharLen(hay, i)) {
        if (hay.compare(i, needle.size(), needle) == 0) return i;
    }
    return std::string_view::npos;
}

void MessageFramer::Feed(std::string_view bytes, std::vector<std::string>& out) {
    buf_.append(bytes.data(), bytes.size());
    std::size_t start = 0;  // first byte of the message being scanned
    std::size_t i = scan_;
    while (i < buf_.size()) {
        unsigned char c = static_cast<unsigned char>(buf_[i]);
        if (c == '^') {
            if (discarding_ || i - start > max_) {
                discarding_ = false;
                ++dropped_;
            } else if (i > start) {
                out.emplace_back(buf_, start, i - start);
            }
            start = ++i;
            continue;
        }
        if (IsGbkLead(c)) {
            if (i + 1 >= buf_.size()) break;  // wait for the trail byte
            i += IsGbkTrail(static_cast<unsigned char>(buf_[i + 1])) ? 2 : 1;
        } else {
            ++i;
        }
    }
    buf_.erase(0, start);
    scan_ = i - start;
    if (discarding_ || scan_ > max_) {
        // Oversized or inside an oversized message: keep only an unfinished
        // character, whose trail byte may still arrive.
        discarding_ = true;
        buf_.erase(0, scan_);
        scan_ = 0;
    }
}

std::vector<std::string> SplitFields(std::string_view msg) {
    std::vector<std::string> fields;
    std::size_t i = 0, start = 0;
    while (i <= msg.size()) {
        if (i == msg.size() || msg[i] == '|') {
            if (i > start) fields.emplace_back(msg.substr(start, i - start));
            start = ++i;
            continue;
        }
        i += GbkCharLen(msg, i);
    }
    return fields;
}

std::string_view TailAfterFields(std::string_view msg, std::size_t n) {
    std::size_t i = 0;
    std::size_t seen = 0;
    while (true) {
        while (i < msg.size() && msg[i] == '|') ++i;  // separators before a field
        if (seen == n || i >= msg.size()) break;
        while (i < msg.size() && msg[i] != '|') i += GbkCharLen(msg, i);
        ++seen;
    }
    return seen == n ? msg.substr(i) : std::string_view();
}

std::string WireField(std::string_view value, std::size_t max_bytes) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size();) {
        std::size_t n = GbkCharLen(value, i);
        if (n == 1 && value[i] == '^') {
        } else if (n == 1 && value[i] == '|') {
            out += '"';
        } else {
            out.append(value.substr(i, n));
        }
        i += n;
    }
    out = std::string(GbkCut(out, max_bytes));
    if (out.empty()) out = "-";
    return out;
}

std::string OneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

}  // namespace exsim
