#pragma once

#include <memory>
#include <string>

#include "platform/views/Label.h"
#include "platform/views/TableViewCell.h"

// A row of the fuel list: the date at the top left, the purchase line at the top right, the
// economy line at the bottom left and the total cost at the bottom right. Each label takes
// the size of its text and sits in its corner of the content, 10 points from the edges; the
// date shrinks its font rather than run into the purchase line. The screen sets texts and
// fonts.
class FillupHistoryCell : public platform::views::TableViewCell {
public:
    enum : int { kDateTag = 1, kEconomyTag = 2, kTotalTag = 3, kPurchaseTag = 4 };

    explicit FillupHistoryCell(const std::string& reuseIdentifier);

    platform::views::Label& dateLabel() const { return *m_date; }
    platform::views::Label& economyLabel() const { return *m_economy; }
    platform::views::Label& totalLabel() const { return *m_total; }
    platform::views::Label& purchaseLabel() const { return *m_purchase; }

    void layoutSubviews() override;

private:
    std::shared_ptr<platform::views::Label> m_date;
    std::shared_ptr<platform::views::Label> m_economy;
    std::shared_ptr<platform::views::Label> m_total;
    std::shared_ptr<platform::views::Label> m_purchase;
};
