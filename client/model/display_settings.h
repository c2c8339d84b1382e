// dmr.ini [Display]: the text and background of the record grids.
#pragma once

#include <cstdint>
#include <string>

#include "client/model/profile_reader.h"

namespace tovan {

struct DisplaySettings {
    int fontSize = 12;                 // points
    std::uint32_t fontColor = 0;       // COLORREF
    std::uint32_t backColor = 0xFEF4E7;
    bool bold = false;
    std::string fontFamily = "宋体";
    int lineSpacing = 3;               // text lines per row
};

// Each text is read into the buffer size the settings dialog writes it from
// (FontSize 10, FontColor 50, BackColor 50, Bold 10, FontFamily 50 bytes).
DisplaySettings ReadDisplaySettings(ProfileReader& profiles);

// A face name without the "@" of the vertical faces: offers are never drawn
// sideways, even from a face saved that way.
std::string UprightFaceName(std::string face);

}  // namespace tovan
