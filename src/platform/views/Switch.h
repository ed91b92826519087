#pragma once

#include "platform/views/Control.h"

namespace platform::views {

// An on/off switch (94 x 27). A tap or a sideways drag flips it and sends ValueChanged;
// setOn from code sends nothing.
class Switch : public Control {
public:
    static constexpr double kWidth = 94;
    static constexpr double kHeight = 27;

    Switch();
    explicit Switch(Rect frame);

    bool isOn() const { return m_on; }
    void setOn(bool on, bool animated = false);

    void drawRect(graphics::Context& context, Rect rect) override;

protected:
    void endTracking(Touch& touch) override;
    bool continueTracking(Touch& touch) override;

private:
    bool m_on {false};
    bool m_dragged {false};
};

} // namespace platform::views
