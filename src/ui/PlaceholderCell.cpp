#include "ui/PlaceholderCell.h"

#include "ui/ThemeStyling.h"
#include "ui/VTPlainCellBackgroundView.h"

using namespace platform::views;

PlaceholderCell::PlaceholderCell(const std::string& reuseIdentifier)
    : TableViewCell(TableViewCellStyle::Subtitle, reuseIdentifier) { }

void PlaceholderCell::show(const std::string& title, const std::string& detail) {
    setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    setSelectionStyle(TableViewCellSelectionStyle::Gray);
    textLabel().setText(title);
    ThemeStyling::setLargeFont(textLabel());
    Label& explanation = *detailTextLabel();
    explanation.setText(detail);
    explanation.setNumberOfLines(3);
    ThemeStyling::setSmallFont(explanation);
    setBackgroundView(ThemeStyling::plainCellBackgroundView());
    setSelectedBackgroundView(ThemeStyling::plainCellSelectedBackgroundView());
}
