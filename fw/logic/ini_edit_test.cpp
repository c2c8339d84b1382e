#include "fw/logic/ini_edit.h"

#include <gtest/gtest.h>

#include <string>

namespace fw {
namespace {

TEST(IniEditTest, OneWriteChangesOnlyWhatItNames) {
    struct Case {
        const char* before;
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    };
    const Case cases[] = {
        // A new file, a new section, a new key at the end of its section.
        {"", "User", "Name", "张三", "[User]\r\nName=张三\r\n"},
        {"[A]\r\nk=v\r\n", "B", "k", "v", "[A]\r\nk=v\r\n[B]\r\nk=v\r\n"},
        {"[A]\r\nk=v", "B", "k", "v", "[A]\r\nk=v\r\n[B]\r\nk=v\r\n"},
        {"[A]\r\nk=v\r\n\r\n[B]\r\nx=1\r\n", "A", "k2", "v2", "[A]\r\nk=v\r\nk2=v2\r\n\r\n[B]\r\nx=1\r\n"},
        {"[A]\r\nk=v", "A", "k2", "v2", "[A]\r\nk=v\r\nk2=v2\r\n"},
        {"[A]\n", "A", "k", "v", "[A]\nk=v\r\n"},
        // Replacing: case and blanks do not matter, the file's spelling stays,
        // other lines keep their bytes (comments, blanks, LF ends).
        {"; note\n[a]\n  K = old \n;c=1\n[b]\nk=2\n", "A", "k", "new",
         "; note\n[a]\nK=new\n;c=1\n[b]\nk=2\n"},
        {"[ 关注 ]\r\nFrom=北京\r\n", "关注", "from", "南京", "[ 关注 ]\r\nFrom=南京\r\n"},
        {"[A]\r\nk=1\r\nk=2\r\n", "A", "k", "3", "[A]\r\nk=3\r\nk=2\r\n"},
        {"[A]\r\nk=1\r\n[a]\r\nk=2\r\n", "a", "k", "3", "[A]\r\nk=3\r\n[a]\r\nk=2\r\n"},
        // Deleting a key, a section; deleting what is not there changes nothing.
        {"[A]\r\nk=1\r\nj=2\r\n[B]\r\nk=3\r\n", "A", "K", nullptr, "[A]\r\nj=2\r\n[B]\r\nk=3\r\n"},
        {"[A]\r\nk=1\r\n[B]\r\nk=3\r\n[C]\r\n", "b", nullptr, nullptr, "[A]\r\nk=1\r\n[C]\r\n"},
        {"[A]\r\nk=1\r\n", "B", nullptr, nullptr, "[A]\r\nk=1\r\n"},
        {"[A]\r\nk=1\r\n", "A", "x", nullptr, "[A]\r\nk=1\r\n"},
        {"[A]\r\nk=1\r\n", nullptr, nullptr, nullptr, "[A]\r\nk=1\r\n"},
        // An empty value is a value.
        {"[User]\r\nPass=secret\r\n", "User", "Pass", "", "[User]\r\nPass=\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EditIniText(c.before, c.section, c.key, c.value), c.after)
            << c.before << " / " << (c.section ? c.section : "-") << " " << (c.key ? c.key : "-");
    }
}

TEST(IniEditTest, CaseFoldsOnlySingleByteLetters) {
    EXPECT_TRUE(IniNamesEqual("ToolBar", "toolbar"));
    EXPECT_TRUE(IniNamesEqual("关注", "关注"));
    // 0x81 0x41 and 0x81 0x61 are two different characters whose second
    // bytes look like "A" and "a".
    EXPECT_FALSE(IniNamesEqual("\x81\x41", "\x81\x61"));
    EXPECT_TRUE(IniNamesEqual("\x81\x41x", "\x81\x41X"));
    EXPECT_FALSE(IniNamesEqual("ab", "abc"));
}

}  // namespace
}  // namespace fw
