// Byte strings in GBK walked by characters: a lead byte 0x81..0xFE takes the
// next byte with it, whatever that byte is (it may equal "\" or "|").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "client/core/logic/gbk_text_edit.h"  // GbkCharLength

namespace tovan {

// Number of characters.
std::size_t GbkCharCount(std::string_view text);

// True when the single-byte character c occurs in text outside double-byte characters.
bool GbkContains(std::string_view text, char c);

// Pieces between separators (outside double-byte characters); empty pieces
// are left out.
std::vector<std::string> SplitGbkSkippingEmpty(std::string_view text, char separator);

}  // namespace tovan
