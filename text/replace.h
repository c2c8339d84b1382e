// Replacing and removing text, left to right and without overlap. The Gbk
// forms match only at character boundaries, so that the second byte of one
// character and the first of the next are never taken for an ASCII sign or a
// word; the Bytes forms match anywhere, for texts that hold ASCII signs only
// where it matters. An empty `from` changes nothing.
#pragma once

#include <string>
#include <string_view>

namespace tovan {

std::string GbkReplaceAll(std::string_view text, std::string_view from, std::string_view to);

inline std::string GbkRemoveAll(std::string_view text, std::string_view what) {
    return GbkReplaceAll(text, what, {});
}

std::string ReplaceAllBytes(std::string_view text, std::string_view from, std::string_view to);

inline std::string RemoveAllBytes(std::string_view text, std::string_view what) {
    return ReplaceAllBytes(text, what, {});
}

// "|" and "^" frame messages and fields on the wire byte by byte, and both
// are also valid second bytes of GBK characters. A character whose second byte
// is one of them is reduced to that sign, so that the sender's replacement or
// removal of the sign takes the whole character and no such byte is sent.
std::string ReduceWireSignCharacters(std::string_view text);

// "|" ends a field of a message, on the way to the server as between the
// chat controls. Every "|", and every character whose second byte is "|"
// (as ReduceWireSignCharacters), becomes a double quote, so that the text
// arrives as one field, whole.
std::string ReplaceFieldSeparators(std::string_view text);

}  // namespace tovan
