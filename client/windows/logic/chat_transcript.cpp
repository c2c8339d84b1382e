#include "client/windows/logic/chat_transcript.h"

#include <cstdio>
#include <cstring>

#include "text/gbk.h"

namespace tovan {
namespace {

bool NeedsEscape(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == 0x80 || c == 0xFF || std::strchr("\\/:*?\"<>|%", c);
}

void AppendEscaped(std::string& out, unsigned char c) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%%%02X", c);
    out += hex;
}

// "CON.", "nul .x" and the like name a device however the name goes on.
bool StartsWithDeviceName(const std::string& id) {
    std::string base = id.substr(0, id.find('.'));
    if (base.size() == id.size()) return false;  // no dot: the date follows the id directly
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

}  // namespace

std::string TranscriptIdPart(const std::string& peerUserId) {
    std::string out;
    out.reserve(peerUserId.size());
    std::size_t i = 0;
    if (StartsWithDeviceName(peerUserId)) AppendEscaped(out, static_cast<unsigned char>(peerUserId[i++]));
    for (; i < peerUserId.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(peerUserId[i]);
        if (IsGbkLeadByte(c)) {
            if (i + 1 < peerUserId.size() && IsGbkTrailByte(static_cast<unsigned char>(peerUserId[i + 1]))) {
                out.append(peerUserId, i, 2);
                ++i;
            } else {
                AppendEscaped(out, c);
            }
        } else if (c == 0 || NeedsEscape(c)) {
            AppendEscaped(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string TranscriptFileName(const std::string& folder, const std::string& peerUserId,
                               const std::tm& day) {
    char date[32] = {};
    std::strftime(date, sizeof date, "%y-%m-%d", &day);
    return folder + TranscriptIdPart(peerUserId) + date + ".rtf";
}

std::vector<std::string> HistoryFileNames(const std::string& folder, const std::string& peerUserId,
                                          std::int64_t now,
                                          const std::function<std::tm(std::int64_t)>& localTime) {
    std::vector<std::string> names;
    for (int n = kHistoryDays - 1; n >= 0; --n) {
        names.push_back(TranscriptFileName(folder, peerUserId, localTime(now - n * 86400LL)));
    }
    return names;
}

std::string PhotoAddress(const std::string& base, const std::string& userId) {
    std::string out = base;
    if (!base.empty()) out += "/userphoto.asp?user=";
    for (unsigned char c : userId) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%2X", c);
        out += hex;
    }
    return out;
}

}  // namespace tovan
