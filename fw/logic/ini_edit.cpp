#include "fw/logic/ini_edit.h"

#include <vector>

#include "text/gbk.h"

namespace fw {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// One line of the file: its text without the line end, and the line end.
struct Line {
    std::string_view text;
    std::string_view end;  // "\r\n", "\n" or nothing (the last line)
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t nl = text.find('\n', i);
        if (nl == std::string_view::npos) {
            lines.push_back({text.substr(i), {}});
            break;
        }
        std::size_t end = nl;
        if (end > i && text[end - 1] == '\r') --end;
        lines.push_back({text.substr(i, end - i), text.substr(end, nl + 1 - end)});
        i = nl + 1;
    }
    return lines;
}

// The section a header line names, or false when the line is no header.
bool HeaderName(std::string_view line, std::string_view& name) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() != '[') return false;
    const std::size_t close = t.rfind(']');
    name = Trim(close == std::string_view::npos ? t.substr(1) : t.substr(1, close - 1));
    return true;
}

// The key a line inside a section names (the whole line when it has no "=").
std::string_view KeyName(std::string_view line) {
    const std::size_t eq = line.find('=');
    return Trim(eq == std::string_view::npos ? line : line.substr(0, eq));
}

std::string Join(const std::vector<Line>& lines, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < to; ++i) {
        out.append(lines[i].text.data(), lines[i].text.size());
        out.append(lines[i].end.data(), lines[i].end.size());
    }
    return out;
}

}  // namespace

bool IniNamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (tovan::GbkCharLength(a, i) == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (Fold(a[i]) != Fold(b[i])) {
            return false;
        }
    }
    return true;
}

std::string EditIniText(std::string_view text, const char* section, const char* key,
                        const char* value) {
    if (section == nullptr) return std::string(text);
    const std::vector<Line> lines = SplitLines(text);
    const std::string_view wanted = Trim(section);

    // The first matching section: its header and the line after its last.
    std::size_t header = lines.size(), end = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (!HeaderName(lines[i].text, name)) continue;
        if (header < lines.size()) {
            end = i;
            break;
        }
        if (IniNamesEqual(name, wanted)) header = i;
    }

    if (header == lines.size()) {
        if (key == nullptr || value == nullptr) return std::string(text);  // nothing to delete
        std::string out(text);
        if (!out.empty() && out.back() != '\n') out += "\r\n";
        out += "[" + std::string(wanted) + "]\r\n" + std::string(Trim(key)) + "=" + value + "\r\n";
        return out;
    }
    if (key == nullptr) return Join(lines, 0, header) + Join(lines, end, lines.size());

    const std::string_view wantedKey = Trim(key);
    for (std::size_t i = header + 1; i < end; ++i) {
        const std::string_view name = KeyName(lines[i].text);
        if (name.empty() || !IniNamesEqual(name, wantedKey)) continue;
        if (value == nullptr) return Join(lines, 0, i) + Join(lines, i + 1, lines.size());
        // The key keeps its spelling in the file.
        std::string out = Join(lines, 0, i);
        out.append(name.data(), name.size());
        out += "=";
        out += value;
        out.append(lines[i].end.data(), lines[i].end.size());
        return out + Join(lines, i + 1, lines.size());
    }
    if (value == nullptr) return std::string(text);

    // A new key after the section's last line that is not blank.
    std::size_t last = header;
    for (std::size_t i = header + 1; i < end; ++i) {
        if (!Trim(lines[i].text).empty()) last = i;
    }
    std::string out = Join(lines, 0, last + 1);
    if (lines[last].end.empty()) out += "\r\n";
    out += std::string(wantedKey) + "=" + value + "\r\n";
    return out + Join(lines, last + 1, lines.size());
}

}  // namespace fw
