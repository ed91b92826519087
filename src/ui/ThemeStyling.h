#pragma once

#include <memory>
#include <string>

#include "platform/views/Button.h"
#include "platform/views/Label.h"
#include "ui/SelectedTheme.h"

class VTPlainCellBackgroundView;

// How the current theme paints things: its colours, the cell backgrounds, button faces,
// the four label fonts and the table header and footer views. Screens reach these through
// ThemedViewController, which inherits them; views and cells call them here.
class ThemeStyling {
public:
    static const ThemeColors& currentTheme() { return SelectedTheme::colors(); }
    static platform::views::Color firstColor() { return currentTheme().first; }
    static platform::views::Color secondColor() { return currentTheme().second; }
    static platform::views::Color thirdColor() { return currentTheme().third; }
    static platform::views::Color tableViewHeaderColor() { return SelectedTheme::headerColor(); }
    // The help pages: the help base address, "mobile/vantrel/help/", and for themes with the
    // header flag "?t=" with the first colour as six lower-case hex digits.
    static std::string helpURL();

    // A cell background: white at alpha 0.35 with a separator in the first colour at 0.75.
    static void applyThemeToBackgroundView(VTPlainCellBackgroundView& view);
    // A selected cell background: the first colour at alpha 0.15, separator in the first.
    static void applyThemeToSelectedBackgroundView(VTPlainCellBackgroundView& view);
    static std::shared_ptr<VTPlainCellBackgroundView> plainCellBackgroundView();
    static std::shared_ptr<VTPlainCellBackgroundView> plainCellSelectedBackgroundView();
    // Glossy faces in the first colour (pressed: the third), white titles with a dark grey
    // shadow, the medium font; with roundCorners the face is rounded by a quarter of the
    // button's height.
    static void applyThemeToButton(platform::views::Button& button, bool roundCorners);
    static void setExtraSmallFont(platform::views::Label& label); // 12, black
    static void setSmallFont(platform::views::Label& label); // 14, black
    static void setMediumFont(platform::views::Label& label); // 16, the first colour
    static void setLargeFont(platform::views::Label& label); // 20, the first colour, white shadow
    // Section header and footer views of grouped tables, and the header of plain tables,
    // as wide as the screen.
    static std::shared_ptr<platform::views::View> tableHeaderViewWithText(const std::string& text);
    static std::shared_ptr<platform::views::View> tableFooterViewWithText(const std::string& text);
    static std::shared_ptr<platform::views::View> plainTableHeaderViewWithText(const std::string& text);
};
