#pragma once

#include <memory>
#include <string>

#include "platform/views/Label.h"
#include "platform/views/TableViewCell.h"

class OdometerView;

// A row of the repairs list: the odometer drum at the top right with the date under it, the
// repair's name on the left, level with the drum, and the notes along the bottom. The screen
// sets texts and fonts.
class RepairHistoryCell : public platform::views::TableViewCell {
public:
    enum : int { kDateTag = 1, kOdometerTag = 2, kNotesTag = 3, kNameTag = 5 };

    explicit RepairHistoryCell(const std::string& reuseIdentifier);

    OdometerView& odometer() const { return *m_odometer; }
    platform::views::Label& dateLabel() const { return *m_date; }
    platform::views::Label& nameLabel() const { return *m_name; }
    platform::views::Label& notesLabel() const { return *m_notes; }

    void layoutSubviews() override;

private:
    std::shared_ptr<OdometerView> m_odometer;
    std::shared_ptr<platform::views::Label> m_date;
    std::shared_ptr<platform::views::Label> m_name;
    std::shared_ptr<platform::views::Label> m_notes;
};
