#include "client/model/profile_snapshot.h"

#include <cstdlib>

#include "text/gbk.h"

namespace tovan {

namespace {

// The platform's blanks around names and values: white space and Ctrl-Z.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\x1A'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Names compare without regard to ASCII case; the two bytes of a GBK
// character compare exactly (its second byte may look like a letter).
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t n = GbkCharLength(a, i);
        if (n == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
        } else if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
        i += n;
    }
    return true;
}

// A value in matching quotes loses them, as the platform returns it.
std::string_view Unquote(std::string_view v) {
    if (v.size() > 1 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

}  // namespace

ProfileSnapshot::ProfileSnapshot(std::string file, std::string_view text, ProfileReader& fallback)
    : file_(std::move(file)), fallback_(fallback) {
    // A byte-order mark means a Unicode file, which the platform converts.
    if (text.substr(0, 3) == "\xEF\xBB\xBF" || text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF") {
        usable_ = false;
        return;
    }
    // Lines before the first header belong to a section without a name.
    sections_.push_back({std::string(), {}});
    Section* current = &sections_.back();
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty()) continue;
        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close == std::string_view::npos) continue;  // not a section header: ignored
            sections_.push_back({std::string(Trim(line.substr(1, close - 1))), {}});
            current = &sections_.back();
            continue;
        }
        // A line without "=" names a key without a value, which reads as missing.
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            current->keys.emplace_back(std::string(line), std::nullopt);
        } else {
            current->keys.emplace_back(std::string(Trim(line.substr(0, eq))), std::string(Trim(line.substr(eq + 1))));
        }
    }
}

const std::string* ProfileSnapshot::Find(const std::string& section, const std::string& key) const {
    const std::string_view s = Trim(section), k = Trim(key);
    for (const Section& sec : sections_) {
        if (!SameName(sec.name, s)) continue;
        for (const auto& entry : sec.keys) {
            if (SameName(entry.first, k)) return entry.second ? &*entry.second : nullptr;
        }
        return nullptr;  // only the first section of a name is looked at
    }
    return nullptr;
}

std::string ProfileSnapshot::ReadString(const std::string& file, const std::string& section,
                                        const std::string& key, const std::string& def,
                                        std::size_t bufferSize) {
    if (!usable_ || file != file_ || bufferSize == 0) {
        return fallback_.ReadString(file, section, key, def, bufferSize);
    }
    const std::string* found = Find(section, key);
    std::string_view value = found ? Unquote(*found) : std::string_view(def);
    if (!found) {
        // The platform trims a default's trailing blanks, all but its first character.
        while (value.size() > 1 && value.back() == ' ') value.remove_suffix(1);
    }
    // How the platform cuts a value for its buffer in a multi-byte code page
    // is its own affair: such a read is left to it.
    if (value.size() > bufferSize - 1) return fallback_.ReadString(file, section, key, def, bufferSize);
    return std::string(value);
}

int ProfileSnapshot::ReadInt(const std::string& file, const std::string& section, const std::string& key,
                             int def) {
    if (!usable_ || file != file_) return fallback_.ReadInt(file, section, key, def);
    const std::string* found = Find(section, key);
    if (!found) return def;
    const std::string_view text = Unquote(*found);
    if (text.empty()) return def;  // an empty value is as good as none
    // The platform reads the value into a small buffer first.
    if (text.size() > kIntTextLimit) return fallback_.ReadInt(file, section, key, def);
    return static_cast<int>(PlatformInteger(text));
}

// The platform's reading of a number: blanks and control characters skipped,
// a sign, a base prefix "0b", "0o" or "0x" (small letters only), then digits
// of that base, letters for digits above 9, up to the first that is not one;
// the total wraps around in 32 bits.
std::uint32_t ProfileSnapshot::PlatformInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    bool minus = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) minus = text[i++] == '-';
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        const char prefix = text[i + 1];
        base = prefix == 'b' ? 2 : prefix == 'o' ? 8 : prefix == 'x' ? 16 : 10;
        if (base != 10) i += 2;
    }
    std::uint32_t total = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit = 99;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'Z') digit = static_cast<unsigned>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'z') digit = static_cast<unsigned>(c - 'a' + 10);
        if (digit >= base) break;
        total = total * base + digit;
    }
    return minus ? 0u - total : total;
}

}  // namespace tovan
