#pragma once

#include <string>

#include "platform/views/TableViewCell.h"

// The one row of an empty list, inviting the user to record the first entry: a title in the
// large font over up to three lines of explanation in the small font, with a disclosure
// indicator, on the theme's plain cell backgrounds.
class PlaceholderCell : public platform::views::TableViewCell {
public:
    explicit PlaceholderCell(const std::string& reuseIdentifier);

    // Sets the texts and styles the row in the current theme.
    void show(const std::string& title, const std::string& detail);
};
