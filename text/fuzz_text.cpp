// Arbitrary bytes through the text library. The properties are checked by
// walking the bytes here, not by the functions under test: a cut or a split
// never ends inside a character, nothing is lost or made up, and numbers
// saturate instead of overflowing.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "text/decimal.h"
#include "text/gbk.h"
#include "text/quote.h"
#include "text/replace.h"
#include "text/split.h"

namespace {

using namespace tovan;

void Check(bool ok) {
    if (!ok) std::abort();
}

// Character starts of text, by its own walk.
std::vector<bool> Boundaries(std::string_view text) {
    std::vector<bool> starts(text.size() + 1, false);
    std::size_t i = 0;
    while (i < text.size()) {
        starts[i] = true;
        const unsigned char c = static_cast<unsigned char>(text[i]);
        i += (c >= 0x81 && c <= 0xFE && i + 1 < text.size()) ? 2 : 1;
    }
    starts[text.size()] = true;
    return starts;
}

std::string Without(std::string_view text, char c) {
    std::string out;
    for (char x : text)
        if (x != c) out += x;
    return out;
}

void CheckCharacters(std::string_view text, std::size_t max) {
    const std::vector<bool> starts = Boundaries(text);
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) count += starts[i];
    Check(GbkCharCount(text) == count);

    const std::string_view cut = GbkCut(text, max);
    Check(cut.data() == text.data() && cut.size() <= max && starts[cut.size()]);
    if (cut.size() < text.size()) Check(cut.size() + GbkCharLength(text, cut.size()) > max);
}

void CheckFindAndReplace(std::string_view text, std::string_view word) {
    const std::vector<bool> starts = Boundaries(text);
    const std::size_t at = GbkFind(text, word);
    if (at != std::string_view::npos) {
        Check(!word.empty() && starts[at] && text.substr(at, word.size()) == word);
    }
    for (std::size_t i = 0; i < text.size() && i < at; ++i)
        Check(word.empty() || !starts[i] || text.substr(i, word.size()) != word);

    Check(GbkReplaceAll(text, word, word) == text);
    Check(ReplaceAllBytes(text, word, word) == text);
    // Something goes exactly when the word is found; a word of one byte
    // leaves none of its kind behind in the byte form.
    const std::string removed = GbkRemoveAll(text, word);
    Check(removed.size() <= text.size());
    Check(word.empty() ? removed == text : (at == std::string_view::npos) == (removed == text));
    if (word.size() == 1) Check(RemoveAllBytes(text, word).find(word[0]) == std::string::npos);

    const std::string reduced = ReduceWireSignCharacters(text);
    const std::vector<bool> reducedStarts = Boundaries(reduced);
    for (std::size_t i = 0; i + 1 < reduced.size(); ++i) {
        const bool pair = reducedStarts[i] && !reducedStarts[i + 1];
        Check(!pair || (reduced[i + 1] != '|' && reduced[i + 1] != '^'));
    }
}

void CheckSplits(std::string_view text, char separator) {
    std::string joined;
    for (const std::string& piece : SplitSkippingEmpty(text, separator)) {
        Check(!piece.empty() && piece.find(separator) == std::string::npos);
        joined += piece;
    }
    Check(joined == Without(text, separator));

    joined.clear();
    for (const std::string& piece : SplitGbkSkippingEmpty(text, separator)) {
        Check(!piece.empty());
        joined += piece;
    }
    // Only one-byte characters separate.
    const std::vector<bool> starts = Boundaries(text);
    std::string expected;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(starts[i] && starts[i + 1] && text[i] == separator)) expected += text[i];
    Check(joined == expected);

    std::vector<std::string> pieces = SplitSkippingEmpty(Without(text, '\''), separator == '\'' ? ',' : separator);
    const std::string quoted = SingleQuotedList(pieces);
    std::string plain;
    for (const std::string& p : pieces) plain += (plain.empty() ? "" : ",") + p;
    Check(WithoutSingleQuotes(quoted) == plain);
}

void CheckDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 1LL << 40) value = 1LL << 40;  // far past int either way
    }
    if (negative) value = -value;
    const long long expected = value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : value;
    Check(DecimalValue(text) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const char separator = static_cast<char>(data[0]);
    const std::size_t max = data[1];
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::string_view word = text.substr(text.size() / 2, max % 4);

    CheckCharacters(text, max);
    CheckFindAndReplace(text, word);
    CheckSplits(text, separator);
    CheckDecimal(text);
    return 0;
}
