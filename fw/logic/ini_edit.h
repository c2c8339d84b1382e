// The text of a private profile (ini) file after one write, worked out in
// memory so that the file can be replaced whole (old or new, never half).
// The edit follows the platform's write: sections and keys are matched
// without regard to ASCII case and around blanks, a value goes into the
// first matching key of the first matching section, a new key comes after
// the section's last line, a new section at the end of the file. Every line
// the write does not touch keeps its bytes. Texts are GBK bytes.
#pragma once

#include <string>
#include <string_view>

namespace fw {

// One write: key null deletes the section, value null deletes the key; a
// null section changes nothing. Returns the new text.
std::string EditIniText(std::string_view text, const char* section, const char* key,
                        const char* value);

// True when the two names are equal to the platform's profile lookup:
// ASCII letters fold, double-byte characters compare as they are.
bool IniNamesEqual(std::string_view a, std::string_view b);

}  // namespace fw
