// Puts the saved display settings (lines per row, font, colours) on a record
// grid, as the record view and the search pane both start with them.
#pragma once

#include "client/model/display_settings.h"
#include "client/controls/qgrid.h"

inline void ApplyDisplaySettings(CQGrid& grid, const tovan::DisplaySettings& d) {
    grid.linesPerRow = d.lineSpacing;
    grid.SetFontSize(d.fontSize);
    grid.SetFaceName(d.fontFamily);
    grid.SetFontWeight(d.bold ? 700 : 400);
    grid.gridTextColor = d.fontColor;
    grid.backColor = d.backColor;
}
