// What the tool prints: a console shows characters, not bytes, so a GBK line
// goes to it as Unicode; redirected output stays GBK bytes.
#pragma once

namespace brivet {

void Say(const char* line);

}  // namespace brivet
