#pragma once

#include <memory>
#include <string>

#include "platform/views/ImageView.h"
#include "platform/views/Label.h"
#include "platform/views/TableViewCell.h"

class BadgeView;
class OdometerView;

// A row of the vehicle list: the car's picture, its name, a model line, the odometer drum
// and a badge counting the services due, with a disclosure indicator and grey selection.
// The badge keeps its own size; the cell keeps it at the right edge of the content,
// centred vertically, whenever it lays out.
class VehicleListTableViewCell : public platform::views::TableViewCell {
public:
    // The subviews' tags.
    enum : int { kImageTag = 1, kNameTag = 2, kModelTag = 3, kOdometerTag = 4, kBadgeTag = 5 };
    static constexpr double kRowHeight = 80;

    explicit VehicleListTableViewCell(std::string reuseIdentifier);

    platform::views::ImageView& vehicleImageView() const { return *m_vehicleImageView; }
    platform::views::Label& nameLabel() const { return *m_nameLabel; }
    platform::views::Label& modelLabel() const { return *m_modelLabel; }
    OdometerView& odometer() const { return *m_odometer; }
    BadgeView& badgeView() const { return *m_badgeView; }

    // Places the badge after its text changed.
    void placeBadge();

    void layoutSubviews() override;

private:
    std::shared_ptr<platform::views::ImageView> m_vehicleImageView;
    std::shared_ptr<platform::views::Label> m_nameLabel;
    std::shared_ptr<platform::views::Label> m_modelLabel;
    std::shared_ptr<OdometerView> m_odometer;
    std::shared_ptr<BadgeView> m_badgeView;
};
