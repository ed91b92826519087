#pragma once

#include "platform/views/Button.h"

namespace platform::views {

// A button of an alert or action sheet.
class AlertButton : public Button {
public:
    enum class Look { Alert, AlertCancel, Sheet, SheetCancel, SheetDestructive };

    AlertButton(const std::string& title, Look look, int index);

    int buttonIndex() const { return m_index; }
    Look look() const { return m_look; }
    void drawRect(graphics::Context& context, Rect rect) override;

private:
    Look m_look;
    int m_index;
};

} // namespace platform::views
