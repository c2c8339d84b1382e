// Whether a name and password can be sent in the logon line. It is
// "!LOGON!|name|password|machine^" with the fields as typed: a "|" or "^" in
// either would split the line into broken messages, so such a field is
// refused (by the login dialog, and instead of an automatic logon) with a
// text that says which field and which signs.
#pragma once

#include <string>
#include <string_view>

namespace tovan {

constexpr const char* kNameHoldsSeparator = "客户号不能含有 | 或 ^ 字符";
constexpr const char* kPasswordHoldsSeparator = "密码不能含有 | 或 ^ 字符";

// The text to show for the first field that cannot be sent; empty when both can.
std::string LogonFieldsProblem(std::string_view name, std::string_view password);

}  // namespace tovan
