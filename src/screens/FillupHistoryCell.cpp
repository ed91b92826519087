#include "screens/FillupHistoryCell.h"

#include <algorithm>

using namespace platform::views;

namespace {

constexpr double kMargin = 10;
constexpr double kPurchaseTop = 12;
// The least room kept between two labels of a line.
constexpr double kGap = 8;

std::shared_ptr<Label> makeLabel(int tag) {
    auto label = std::make_shared<Label>();
    label->setTag(tag);
    label->setBackgroundColor(Color::clear());
    return label;
}

} // namespace

FillupHistoryCell::FillupHistoryCell(const std::string& reuseIdentifier)
    : TableViewCell(TableViewCellStyle::Default, reuseIdentifier)
    , m_date(makeLabel(kDateTag))
    , m_economy(makeLabel(kEconomyTag))
    , m_total(makeLabel(kTotalTag))
    , m_purchase(makeLabel(kPurchaseTag)) {
    setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    setSelectionStyle(TableViewCellSelectionStyle::Gray);
    m_date->setAdjustsFontSizeToFitWidth(true);
    m_date->setMinimumFontSize(12);
    for (const auto& label : {m_date, m_economy, m_total, m_purchase})
        contentView().addSubview(label);
}

void FillupHistoryCell::layoutSubviews() {
    TableViewCell::layoutSubviews();
    const Rect content = contentView().bounds();
    const double width = content.width(), height = content.height();
    auto fitted = [](Label& label) {
        label.sizeToFit();
        return label.frame().size;
    };

    Size purchase = fitted(*m_purchase);
    m_purchase->setFrame({width - kMargin - purchase.width, kPurchaseTop, purchase.width, purchase.height});
    Size date = fitted(*m_date);
    double dateRoom = std::max(0.0, m_purchase->frame().x() - kGap - kMargin);
    m_date->setFrame({kMargin, kMargin, std::min(date.width, dateRoom), date.height});

    Size total = fitted(*m_total);
    m_total->setFrame(
        {width - kMargin - total.width, height - kMargin - total.height, total.width, total.height});
    Size economy = fitted(*m_economy);
    double economyRoom = std::max(0.0, m_total->frame().x() - kGap - kMargin);
    m_economy->setFrame(
        {kMargin, height - kMargin - economy.height, std::min(economy.width, economyRoom), economy.height});
}
