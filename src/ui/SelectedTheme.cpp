#include "ui/SelectedTheme.h"

#include "QLCoreLibrary/ColorExtensions.h"
#include "model/SettingsManager.h"
#include "platform/views/Application.h"
#include "platform/views/Window.h"
#include "ui/Theme.h"

using platform::graphics::Color;

namespace {

struct ThemeState {
    int selected {0};
    bool chosen {false};
    ThemeColors colors;
    Color headerColor {Color::whiteColor()};
};

ThemeColors colorsOf(const Theme& theme) {
    return {
        colorWithHex(theme.first), colorWithHex(theme.second), colorWithHex(theme.third), theme.headerFlag};
}

ThemeState initialState() {
    return {0, false, colorsOf(kThemes[0]), Color::whiteColor()};
}

ThemeState& state() {
    static ThemeState theme = initialState();
    return theme;
}

} // namespace

int SelectedTheme::number() {
    return state().selected;
}

bool SelectedTheme::isChosen() {
    return state().chosen;
}

bool SelectedTheme::select(int number) {
    if (number < 0 || number >= kThemeCount)
        number = 0;
    ThemeState& theme = state();
    if (number == theme.selected && theme.chosen)
        return false;
    theme.selected = number;
    theme.chosen = true;
    theme.colors = colorsOf(kThemes[size_t(number)]);
    theme.headerColor = theme.colors.headerFlag ? theme.colors.first : Color::whiteColor();
    SettingsManager::sharedManager().setThemeIndex(number);
    // The window's backdrop draws in the theme's colours too.
    if (platform::views::Window* window = platform::views::Application::sharedApplication().keyWindow();
        window && window->backdrop())
        window->backdrop()->setNeedsDisplay();
    return true;
}

const ThemeColors& SelectedTheme::colors() {
    return state().colors;
}

Color SelectedTheme::headerColor() {
    return state().headerColor;
}

void SelectedTheme::forget() {
    state() = initialState();
}
