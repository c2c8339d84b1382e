// Search, replace and removal in GBK text by characters: a byte in the lead
// range (0x81 to 0xFE) and the byte after it are one character, so a second
// byte that happens to equal an ASCII sign is never matched on its own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tovan {

// Bytes of the character that starts at i (1 or 2).
std::size_t GbkCharLength(std::string_view text, std::size_t i);

// Every occurrence of `from` that starts on a character boundary, left to
// right and without overlap, replaced by `to`. An empty `from` changes nothing.
std::string GbkReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// "|" and "^" frame messages and fields on the wire byte by byte, and both
// are also valid second bytes of GBK characters. A character whose second byte
// is one of them is reduced to that sign, so that the sender's replacement or
// removal of the sign takes the whole character and no such byte is sent.
std::string ReduceWireSignCharacters(std::string_view text);

inline std::string GbkRemoveAll(std::string_view text, std::string_view what) {
    return GbkReplaceAll(text, what, {});
}

}  // namespace tovan
