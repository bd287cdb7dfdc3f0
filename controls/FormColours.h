#pragma once
// The form colour table: the colours the server names by number for cells, rows, columns,
// list entries and charts. No Windows in here: built and tested in every tree.

#include <cstdint>

// The control's own default colour (for a chart raster: none).
constexpr uint32_t kDefaultColour = 0xFF000000u;

// The colour of a server colour number (COLORREF layout, low byte red). Only the low byte of
// the number counts; 0 and numbers beyond the table give the default colour.
uint32_t FormColour(int number);
