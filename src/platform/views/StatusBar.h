#pragma once

#include "platform/views/View.h"

namespace platform::views {

enum class StatusBarStyle { Default, BlackTranslucent, BlackOpaque };

// The 20-point strip at the top of the screen: signal, the time of the platform clock in
// the device locale, the network activity spinner when asked, and the battery.
class StatusBar : public View {
public:
    StatusBar();

    StatusBarStyle style() const { return m_style; }
    void setStyle(StatusBarStyle style);
    bool showsNetworkActivity() const { return m_networkActivity; }
    void setShowsNetworkActivity(bool shows);
    // The clock text as drawn now ("9:41 AM").
    std::string timeText() const;

    void drawRect(graphics::Context& context, Rect rect) override;
    bool drawsOpaquely() const override { return true; }

private:
    StatusBarStyle m_style {StatusBarStyle::Default};
    bool m_networkActivity {false};
};

} // namespace platform::views
