// Lists in one text, split at a one-byte separator like the C tokenizer:
// separators in a row count as one and empty pieces are left out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovan {

// Split at every separator byte, wherever it stands: for separators that are
// never the second byte of a GBK character (",", "/") or texts whose peers
// split them byte by byte ("|" on the wire).
std::vector<std::string> SplitSkippingEmpty(std::string_view text, char separator);

// Split at separators outside double-byte characters: for "\" and other signs
// that may be the second byte of a GBK character.
std::vector<std::string> SplitGbkSkippingEmpty(std::string_view text, char separator);

}  // namespace tovan
