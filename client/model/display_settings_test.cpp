#include "client/model/display_settings.h"

#include <gtest/gtest.h>

#include "client/model/fake_profile_reader.h"

namespace tovan {
namespace {

TEST(DisplaySettingsTest, DefaultsWithoutADisplaySection) {
    FakeProfileReader ini;
    const DisplaySettings d = ReadDisplaySettings(ini);
    EXPECT_EQ(d.fontSize, 12);
    EXPECT_EQ(d.fontColor, 0u);
    EXPECT_EQ(d.backColor, 0xFEF4E7u);
    EXPECT_FALSE(d.bold);
    EXPECT_EQ(d.fontFamily, "宋体");
    EXPECT_EQ(d.lineSpacing, 3);
}

TEST(DisplaySettingsTest, StoredValuesAreDecimalText) {
    FakeProfileReader ini;
    ini.Set(kUserIni, "Display", "FontSize", "14");
    ini.Set(kUserIni, "Display", "FontColor", "255");
    ini.Set(kUserIni, "Display", "BackColor", "16777215");
    ini.Set(kUserIni, "Display", "Bold", "1");
    ini.Set(kUserIni, "Display", "FontFamily", "黑体");
    ini.Set(kUserIni, "Display", "Line", "0");
    const DisplaySettings d = ReadDisplaySettings(ini);
    EXPECT_EQ(d.fontSize, 14);
    EXPECT_EQ(d.fontColor, 255u);
    EXPECT_EQ(d.backColor, 0xFFFFFFu);
    EXPECT_TRUE(d.bold);
    EXPECT_EQ(d.fontFamily, "黑体");
    EXPECT_EQ(d.lineSpacing, 0);
}

// A vertical face ("@" first) once chosen in the font dialog turned every
// offer sideways for good: the grids read it as its upright face.
TEST(DisplaySettingsTest, AVerticalFaceIsReadAsItsUprightFace) {
    for (const char* stored : {"@宋体", "@@宋体"}) {
        FakeProfileReader ini;
        ini.Set(kUserIni, "Display", "FontFamily", stored);
        EXPECT_EQ(ReadDisplaySettings(ini).fontFamily, "宋体") << stored;
    }
}

}  // namespace
}  // namespace tovan
