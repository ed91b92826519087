#pragma once

#include <memory>
#include <string>

#include "platform/views/Label.h"
#include "platform/views/TableViewCell.h"

// A row of the import preview: a title over a detail text of as many lines as it needs (a car
// with its counts, a problem with its line, a fill-up as it will be stored).
class ImportPreviewCell : public platform::views::TableViewCell {
public:
    explicit ImportPreviewCell(const std::string& identifier);

    platform::views::Label& title() const { return *m_title; }
    platform::views::Label& detail() const { return *m_detail; }
    void show(const std::string& title, const std::string& detail);

    // The row's height in a table `tableWidth` wide, with or without a disclosure indicator.
    static double heightFor(
        const std::string& title, const std::string& detail, double tableWidth, bool disclosure);

    void layoutSubviews() override;

private:
    std::shared_ptr<platform::views::Label> m_title {std::make_shared<platform::views::Label>()};
    std::shared_ptr<platform::views::Label> m_detail {std::make_shared<platform::views::Label>()};
};
