#pragma once

#include "platform/graphics/Color.h"

// The colours of a theme.
struct ThemeColors {
    platform::graphics::Color first;
    platform::graphics::Color second;
    platform::graphics::Color third;
    bool headerFlag {false};
};

// The theme every screen paints with: module-wide state, one for the process. It starts on
// theme 0 with nothing chosen, until a theme is selected (normally by the vehicle list when
// it loads, from the settings).
class SelectedTheme {
public:
    static int number();
    // Whether a theme was selected since start-up.
    static bool isChosen();
    // Makes theme `number` current (a number outside 0..34 selects theme 0) and stores it in
    // the settings (themeIndex). Answers false, changing nothing, when that theme is already
    // the chosen one.
    static bool select(int number);
    static const ThemeColors& colors();
    // The colour of table header and footer texts: the first colour for themes with the
    // header flag, white for the others.
    static platform::graphics::Color headerColor();
    // Tests: back to no theme selected.
    static void forget();
};
