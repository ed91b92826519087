#include "backup/ImportPreviewCell.h"

#include <cmath>

#include "ui/ThemeStyling.h"

using namespace platform::views;

namespace {

constexpr double kPadding = 10;
constexpr double kGroupInset = 10; // a grouped table's rows stand in from its sides
constexpr double kDisclosureWidth = 30;

// The labels as the cell styles them, to measure.
void styleLabels(Label& title, Label& detail) {
    ThemeStyling::setSmallFont(title);
    ThemeStyling::setExtraSmallFont(detail);
    detail.setNumberOfLines(0);
    detail.setTextColor(Color::white(0.25));
    title.setBackgroundColor(Color::clear());
    detail.setBackgroundColor(Color::clear());
}

double textHeight(const Label& label, const std::string& text, double width) {
    if (text.empty())
        return 0;
    return std::ceil(label.sizeThatFits({width, 0}).height);
}

} // namespace

ImportPreviewCell::ImportPreviewCell(const std::string& identifier)
    : TableViewCell(TableViewCellStyle::Default, identifier) {
    styleLabels(*m_title, *m_detail);
    contentView().addSubview(m_title);
    contentView().addSubview(m_detail);
}

void ImportPreviewCell::show(const std::string& title, const std::string& detail) {
    styleLabels(*m_title, *m_detail);
    m_title->setText(title);
    m_detail->setText(detail);
    setNeedsLayout();
}

double ImportPreviewCell::heightFor(
    const std::string& title, const std::string& detail, double tableWidth, bool disclosure) {
    auto measuredTitle = std::make_shared<Label>();
    auto measuredDetail = std::make_shared<Label>();
    styleLabels(*measuredTitle, *measuredDetail);
    measuredTitle->setText(title);
    measuredDetail->setText(detail);
    const double width = tableWidth - 2 * kGroupInset - 2 * kPadding - (disclosure ? kDisclosureWidth : 0);
    const double titleHeight = textHeight(*measuredTitle, title, width);
    const double detailHeight = textHeight(*measuredDetail, detail, width);
    return std::max(
        44.0, 2 * kPadding + titleHeight + (titleHeight > 0 && detailHeight > 0 ? 2 : 0) + detailHeight);
}

void ImportPreviewCell::layoutSubviews() {
    TableViewCell::layoutSubviews();
    const Rect content = contentView().bounds();
    const double width = std::max(0.0, content.width() - 2 * kPadding);
    const double titleHeight = textHeight(*m_title, m_title->text(), width);
    const double detailHeight = textHeight(*m_detail, m_detail->text(), width);
    const double gap = titleHeight > 0 && detailHeight > 0 ? 2 : 0;
    double y = std::floor((content.height() - titleHeight - gap - detailHeight) / 2);
    m_title->setFrame({kPadding, y, width, titleHeight});
    y += titleHeight + gap;
    m_detail->setFrame({kPadding, y, width, detailHeight});
    // The default style's own label stays empty and out of the way.
    textLabel().setFrame({});
}
