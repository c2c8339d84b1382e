// The five columns of a record grid (the record view and the search pane
// alike): the class, place and talk columns sized to their contents, the
// text column taking the rest of the width.
#pragma once

#include "client/controls/qgrid.h"

struct RecordColumnWidths {
    int cls, place, chat;
};

// The class and talk columns hold a picture or a one/two-character word,
// the place column a two-character place name, each with its margins.
RecordColumnWidths MeasureRecordColumns(CQGrid& grid, bool pictures);

// Sets all five columns for a grid `width` pixels wide.
void SetRecordColumns(CQGrid& grid, const RecordColumnWidths& w, int width);

// Fits the text column to a new width, never narrower than it can be read.
void FitTextColumn(CQGrid& grid, const RecordColumnWidths& w, int width);
