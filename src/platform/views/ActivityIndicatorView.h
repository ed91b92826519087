#pragma once

#include "platform/views/View.h"

namespace platform::views {

enum class ActivityIndicatorViewStyle { WhiteLarge, White, Gray };

// A spinner. Hidden while stopped unless hidesWhenStopped is turned off.
class ActivityIndicatorView : public View {
public:
    explicit ActivityIndicatorView(ActivityIndicatorViewStyle style = ActivityIndicatorViewStyle::White);

    ActivityIndicatorViewStyle style() const { return m_style; }
    void setStyle(ActivityIndicatorViewStyle style);
    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return m_animating; }
    bool hidesWhenStopped() const { return m_hidesWhenStopped; }
    void setHidesWhenStopped(bool hides);

    void drawRect(graphics::Context& context, Rect rect) override;

private:
    ActivityIndicatorViewStyle m_style;
    bool m_animating {false};
    bool m_hidesWhenStopped {true};
};

} // namespace platform::views
