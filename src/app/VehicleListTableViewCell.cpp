#include "app/VehicleListTableViewCell.h"

#include "ui/BadgeView.h"
#include "ui/OdometerView.h"

using namespace platform::views;

VehicleListTableViewCell::VehicleListTableViewCell(std::string reuseIdentifier)
    : TableViewCell(TableViewCellStyle::Default, std::move(reuseIdentifier)) {
    setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    setSelectionStyle(TableViewCellSelectionStyle::Gray);

    m_vehicleImageView = std::make_shared<ImageView>(Rect(8, 8, 64, 64));
    m_vehicleImageView->setTag(kImageTag);
    m_vehicleImageView->setOpaque(false);
    contentView().addSubview(m_vehicleImageView);

    m_nameLabel = std::make_shared<Label>(Rect(88, 8, 200, 24));
    m_nameLabel->setTag(kNameTag);
    m_nameLabel->setFont(platform::graphics::Font::boldSystemFontOfSize(18));
    m_nameLabel->setBackgroundColor(Color::clear());
    contentView().addSubview(m_nameLabel);

    m_modelLabel = std::make_shared<Label>(Rect(88, 31, 200, 14));
    m_modelLabel->setTag(kModelTag);
    m_modelLabel->setFont(platform::graphics::Font::systemFontOfSize(13));
    m_modelLabel->setBackgroundColor(Color::clear());
    contentView().addSubview(m_modelLabel);

    m_odometer = std::make_shared<OdometerView>(Rect(88, 50, 90, 0));
    m_odometer->setTag(kOdometerTag);
    contentView().addSubview(m_odometer);

    m_badgeView = std::make_shared<BadgeView>();
    m_badgeView->setTag(kBadgeTag);
    contentView().addSubview(m_badgeView);
}

void VehicleListTableViewCell::placeBadge() {
    Rect content = contentView().bounds();
    Rect badge = m_badgeView->frame();
    m_badgeView->setFrame({content.width() - badge.width() - 5, (content.height() - badge.height()) / 2,
        badge.width(), badge.height()});
}

void VehicleListTableViewCell::layoutSubviews() {
    TableViewCell::layoutSubviews();
    placeBadge();
}
