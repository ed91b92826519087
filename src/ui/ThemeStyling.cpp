#include "ui/ThemeStyling.h"

#include <cstdio>

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/ImageExtensions.h"
#include "platform/views/Screen.h"
#include "ui/Configuration.h"
#include "ui/VTPlainCellBackgroundView.h"

using namespace platform::views;
using platform::graphics::Font;

namespace {

// A section's header or footer: `label` on a clear strip 36 high and as wide as the screen,
// in the theme's header colour, with a white shadow unless that colour is white itself.
std::shared_ptr<View> sectionTextView(std::shared_ptr<Label> label) {
    auto container = std::make_shared<View>(Rect(0, 0, Screen::kWidth, 36));
    container->setBackgroundColor(Color::clear());
    container->setOpaque(false);
    label->setBackgroundColor(Color::clear());
    const Color color = ThemeStyling::tableViewHeaderColor();
    label->setTextColor(color);
    if (color != Color::whiteColor()) {
        label->setShadowColor(Color::whiteColor());
        label->setShadowOffset({0, 1});
    }
    container->addSubview(label);
    return container;
}

} // namespace

std::string ThemeStyling::helpURL() {
    std::string url = Configuration::helpBaseURL() + "mobile/vantrel/help/";
    if (currentTheme().headerFlag) {
        char query[16];
        std::snprintf(query, sizeof query, "?t=%06x", unsigned(currentTheme().first.hex()));
        url += query;
    }
    return url;
}

void ThemeStyling::applyThemeToBackgroundView(VTPlainCellBackgroundView& view) {
    view.setBackgroundColor(Color::white(1, 0.35));
    view.setStrokeColor(changeAlpha(firstColor(), 0.75));
}

void ThemeStyling::applyThemeToSelectedBackgroundView(VTPlainCellBackgroundView& view) {
    view.setBackgroundColor(changeAlpha(firstColor(), 0.15));
    view.setStrokeColor(firstColor());
}

std::shared_ptr<VTPlainCellBackgroundView> ThemeStyling::plainCellBackgroundView() {
    auto view = std::make_shared<VTPlainCellBackgroundView>();
    applyThemeToBackgroundView(*view);
    return view;
}

std::shared_ptr<VTPlainCellBackgroundView> ThemeStyling::plainCellSelectedBackgroundView() {
    auto view = std::make_shared<VTPlainCellBackgroundView>();
    applyThemeToSelectedBackgroundView(*view);
    return view;
}

void ThemeStyling::applyThemeToButton(Button& button, bool roundCorners) {
    const double height = button.frame().height();
    // The toolkit's buttons have no corner mask of their own: the rounded glossy face gives
    // them their corners.
    const double radius = roundCorners ? height / 4 : 0;
    button.setBackgroundImage(
        stretchableGlossyImageWithColor(firstColor(), height, radius), ControlStateNormal);
    button.setBackgroundImage(
        stretchableGlossyImageWithColor(thirdColor(), height, radius), ControlStateHighlighted);
    button.setTitleColor(Color::whiteColor(), ControlStateNormal);
    button.setTitleColor(Color::whiteColor(), ControlStateHighlighted);
    button.setTitleShadowColor(Color::darkGray(), ControlStateNormal);
    button.titleLabel().setShadowOffset({1, 1});
    button.titleLabel().setFont(Font::systemFontOfSize(16));
}

void ThemeStyling::setExtraSmallFont(Label& label) {
    label.setFont(Font::systemFontOfSize(12));
    label.setTextColor(Color::black());
    label.setShadowColor(std::nullopt);
    label.setHighlightedTextColor(Color::whiteColor());
    label.setBackgroundColor(Color::clear());
}

void ThemeStyling::setSmallFont(Label& label) {
    setExtraSmallFont(label);
    label.setFont(Font::systemFontOfSize(14));
}

void ThemeStyling::setMediumFont(Label& label) {
    label.setFont(Font::systemFontOfSize(16));
    label.setTextColor(firstColor());
    label.setHighlightedTextColor(Color::whiteColor());
    label.setShadowColor(std::nullopt);
    label.setBackgroundColor(Color::clear());
}

void ThemeStyling::setLargeFont(Label& label) {
    label.setFont(Font::systemFontOfSize(20));
    label.setTextColor(firstColor());
    label.setHighlightedTextColor(Color::whiteColor());
    label.setShadowColor(Color::whiteColor());
    label.setShadowOffset({0, 1});
    label.setBackgroundColor(Color::clear());
}

std::shared_ptr<View> ThemeStyling::tableHeaderViewWithText(const std::string& text) {
    auto label = std::make_shared<Label>(Rect(16, 0, 310, 36));
    label->setText(text);
    label->setFont(Font::systemFontOfSize(17));
    return sectionTextView(label);
}

std::shared_ptr<View> ThemeStyling::tableFooterViewWithText(const std::string& text) {
    auto label = std::make_shared<Label>(Rect(20, 0, 280, 36));
    label->setText(text);
    label->setFont(Font::systemFontOfSize(12));
    label->setTextAlignment(platform::graphics::TextAlignment::Center);
    label->setNumberOfLines(0);
    return sectionTextView(label);
}

std::shared_ptr<View> ThemeStyling::plainTableHeaderViewWithText(const std::string& text) {
    auto header = std::make_shared<VTPlainCellBackgroundView>(Rect(0, 0, Screen::kWidth, 27));
    header->setBackgroundColor(Color::white(0, 0.25));
    header->setStrokeColor(firstColor());
    auto label = std::make_shared<Label>(Rect(10, 6, 310, 15));
    label->setText(text);
    label->setTextColor(Color::whiteColor());
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(14));
    header->addSubview(label);
    return header;
}
