#include "screens/RepairHistoryCell.h"

#include <algorithm>

#include "ui/OdometerView.h"

using namespace platform::views;

RepairHistoryCell::RepairHistoryCell(const std::string& reuseIdentifier)
    : TableViewCell(TableViewCellStyle::Default, reuseIdentifier)
    , m_odometer(std::make_shared<OdometerView>())
    , m_date(std::make_shared<Label>())
    , m_name(std::make_shared<Label>())
    , m_notes(std::make_shared<Label>()) {
    setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    setSelectionStyle(TableViewCellSelectionStyle::Gray);
    m_odometer->setTag(kOdometerTag);
    m_date->setTag(kDateTag);
    m_date->setTextAlignment(TextAlignment::Right);
    m_name->setTag(kNameTag);
    m_notes->setTag(kNotesTag);
    contentView().addSubview(m_odometer);
    contentView().addSubview(m_date);
    contentView().addSubview(m_name);
    contentView().addSubview(m_notes);
}

void RepairHistoryCell::layoutSubviews() {
    TableViewCell::layoutSubviews();
    const Rect content = contentView().bounds();
    // The drum takes its width from its height.
    m_odometer->setFrame({content.width() - 100, 15, 0, 18});
    const Rect drum = m_odometer->frame();
    m_date->setFrame({drum.x(), 32, drum.width(), 24});
    m_name->sizeToFit();
    double nameHeight = m_name->frame().height();
    // A long name stops short of the drum.
    double nameWidth = std::min(180.0, drum.x() - 15);
    m_name->setFrame({10, drum.midY() - nameHeight / 2, nameWidth, nameHeight});
    m_notes->setFrame({10, content.height() - 23, 150, 13});
}
