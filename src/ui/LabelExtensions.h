#pragma once

#include "platform/views/Label.h"

// For multi-line labels of a fixed height whose text should start at the top (alignTop) or
// end at the bottom (alignBottom): the text is padded with line breaks, one fewer than the
// lines left free by its wrapped height. A label without a line limit is left alone.
void alignTop(platform::views::Label& label);
void alignBottom(platform::views::Label& label);

// The number of free lines (before the one-fewer rule): the label's lines minus the lines
// its text wraps to, never negative.
int freeLineCount(const platform::views::Label& label);
