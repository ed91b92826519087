#pragma once

#include <memory>
#include <string>

#include "platform/views/Label.h"
#include "platform/views/TableViewCell.h"

// A row of a form: a title label (tag 1) on the left and a value view (tag 2) on the right,
// a text field, a label or an odometer, over a background of white at alpha 0.5. The frames
// are defaults that a screen may change; the screen styles the views.
template<class ValueView> class FormCell : public platform::views::TableViewCell {
public:
    static constexpr int kLabelTag = 1;
    static constexpr int kValueTag = 2;

    explicit FormCell(const std::string& reuseIdentifier)
        : FormCell({10, 11, 110, 22}, {120, 10, 160, 24}, reuseIdentifier) { }
    // The identifier comes last, as TableView::dequeueReusableCell passes it.
    FormCell(platform::views::Rect labelFrame, platform::views::Rect valueFrame,
        const std::string& reuseIdentifier)
        : TableViewCell(platform::views::TableViewCellStyle::Default, reuseIdentifier)
        , m_label(std::make_shared<platform::views::Label>(labelFrame))
        , m_value(std::make_shared<ValueView>(valueFrame)) {
        m_label->setTag(kLabelTag);
        m_value->setTag(kValueTag);
        contentView().addSubview(m_label);
        contentView().addSubview(m_value);
        setBackgroundColor(platform::views::Color::white(1, 0.5));
    }

    platform::views::Label& label() const { return *m_label; }
    ValueView& value() const { return *m_value; }

private:
    std::shared_ptr<platform::views::Label> m_label;
    std::shared_ptr<ValueView> m_value;
};
