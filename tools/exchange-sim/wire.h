// Wire text helpers of the simulator: the "^"-terminated message framing, the
// field split, and GBK-aware byte searching. Everything here works on GBK
// bytes; a double-byte character is never split, so a trail byte that happens
// to equal "^" or "|" stays inside its character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace exsim {

inline bool IsGbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
inline bool IsGbkTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// Length in bytes of the character starting at s[i] (1 or 2). A lead byte
// without a valid trail counts as one byte.
std::size_t GbkCharLen(std::string_view s, std::size_t i);

// Cuts s to at most max_bytes without leaving half a character behind.
std::string_view GbkCut(std::string_view s, std::size_t max_bytes);

// First occurrence of needle in hay at a character boundary at or after
// `from` (a boundary itself); npos when absent. An empty needle is absent.
std::size_t GbkFind(std::string_view hay, std::string_view needle, std::size_t from = 0);

inline bool GbkContains(std::string_view hay, std::string_view needle) {
    return GbkFind(hay, needle) != std::string_view::npos;
}

// Cuts a byte stream into messages at "^" (outside double-byte characters).
// A message longer than max_message is dropped whole: its bytes are skipped
// up to the next terminator, so one bad sender cannot grow our memory.
class MessageFramer {
public:
    explicit MessageFramer(std::size_t max_message = 64 * 1024) : max_(max_message) {}

    // Appends bytes and moves every completed, non-empty message to out.
    void Feed(std::string_view bytes, std::vector<std::string>& out);

    std::size_t pending() const { return buf_.size(); }
    std::size_t dropped() const { return dropped_; }

private:
    std::size_t max_;
    std::string buf_;
    std::size_t scan_ = 0;     // bytes of buf_ known to hold no terminator
    bool discarding_ = false;  // inside an oversized message
    std::size_t dropped_ = 0;
};

// Splits at "|" with tokenizer semantics: consecutive separators count as one
// and empty fields vanish. Field 0 is the command word.
std::vector<std::string> SplitFields(std::string_view msg);

// The text after the first n fields of msg and their separators (tokenizer
// semantics), unsplit: the free-text tail of a message such as "!ADDMSG!".
std::string_view TailAfterFields(std::string_view msg, std::size_t n);

// One outgoing field: cut to max_bytes at a character boundary, a lone "|"
// made a double quote and a lone "^" removed (they would break the peer's
// framing), and "-" when the result is empty (an empty field would vanish).
std::string WireField(std::string_view value, std::size_t max_bytes);

// The text made one line for line-based output: LF and CR written as "\n", "\r".
std::string OneLine(std::string_view text);

// Widths of the client's offer record, minus the terminating NUL.
constexpr std::size_t kIdWidth = 19, kAreaWidth = 9, kAddTimeWidth = 15, kBodyWidth = 799,
                      kClassWidth = 9, kByNameWidth = 49, kShengWidth = 49, kXianWidth = 51;

}  // namespace exsim
