// GBK byte strings walked by characters. A byte in the lead range (0x81 to
// 0xFE) and the byte after it are one character, whatever that byte is: a
// second byte may equal an ASCII sign ("\", "|", "^"), which must then never
// be taken for the sign itself. Positions and lengths are in bytes.
#pragma once

#include <cstddef>
#include <string_view>

namespace tovan {

inline bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// A byte that can follow a lead byte in a well-formed character.
inline bool IsGbkTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// Bytes of the character that starts at i (1 or 2): a lead byte with nothing
// after it is a character of its own.
inline std::size_t GbkCharLength(std::string_view text, std::size_t i) {
    return IsGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// Number of characters.
std::size_t GbkCharCount(std::string_view text);

// Position of the first occurrence of what that starts on a character
// boundary at or after from (itself taken as a boundary); npos when none, and
// always for an empty what.
std::size_t GbkFind(std::string_view text, std::string_view what, std::size_t from = 0);

inline bool GbkContains(std::string_view text, std::string_view what) {
    return GbkFind(text, what) != std::string_view::npos;
}

// The first bytes of text that fit into maxBytes, never half a character.
std::string_view GbkCut(std::string_view text, std::size_t maxBytes);

// GbkCut for a field that a sign follows on the wire: a lead byte left alone
// at the end (a value cut short before it came here) goes too, since a reader
// of GBK would take the sign after it for its second byte.
std::string_view GbkCutField(std::string_view text, std::size_t maxBytes);

}  // namespace tovan
