#include "client/model/logon_fields.h"

#include <gtest/gtest.h>

#include <string>

namespace tovan {
namespace {

TEST(LogonFieldsTest, RefusesTheFieldThatHoldsASeparator) {
    struct Case { std::string name, password; std::string problem; };
    const Case cases[] = {
        {"te^st|x'\"\\", "a|b^c", kNameHoldsSeparator},
        {"test", "a|b^c", kPasswordHoldsSeparator},
        {"test", "ab^", kPasswordHoldsSeparator},
        {"|", "pw", kNameHoldsSeparator},
        // A character whose second byte is "|" or "^" splits the line as well.
        {"\x81|张", "pw", kNameHoldsSeparator},
        {"test", "\x95^", kPasswordHoldsSeparator},
        // Signs that do not separate fields go as typed.
        {"te'st\"\\", "a b!c", ""},
        {"张三", "密码1", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LogonFieldsProblem(c.name, c.password), c.problem) << c.name << " / " << c.password;
    }
}

}  // namespace
}  // namespace tovan
