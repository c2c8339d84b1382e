// Puts the text and background chosen in the settings dialog on a record
// grid: font, weight, colours and lines per row; the class column sized again
// for the new font and the text column given the rest of the width; then the
// grid repaints with its background.
#pragma once

#include "client/controls/qgrid.h"
#include "client/windows/logic/settings_dialogs.h"

// classPictures: the grid draws the class as a picture (the NT platform), so
// the picture's width decides the class column, not the font.
void ApplyDisplayChoice(CQGrid& grid, const tovan::DisplayChoice& choice, bool classPictures);
