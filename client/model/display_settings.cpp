#include "client/model/display_settings.h"

#include "text/decimal.h"

namespace tovan {

std::string UprightFaceName(std::string face) {
    face.erase(0, face.find_first_not_of('@'));
    return face;
}

DisplaySettings ReadDisplaySettings(ProfileReader& profiles) {
    auto text = [&](const char* key, const char* def, std::size_t size) {
        return profiles.ReadString(kUserIni, "Display", key, def, size);
    };
    DisplaySettings d;
    d.fontSize = DecimalValue(text("FontSize", "12", 10));
    d.fontColor = static_cast<std::uint32_t>(ParseDecimal(text("FontColor", "0", 50)));
    d.backColor = static_cast<std::uint32_t>(ParseDecimal(text("BackColor", "16708839", 50)));
    d.bold = DecimalValue(text("Bold", "0", 10)) != 0;
    d.fontFamily = UprightFaceName(text("FontFamily", "宋体", 50));
    d.lineSpacing = profiles.ReadInt(kUserIni, "Display", "Line", 3);
    return d;
}

}  // namespace tovan
