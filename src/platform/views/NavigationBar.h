#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/views/BarButtonView.h"
#include "platform/views/NavigationItem.h"
#include "platform/views/View.h"

namespace platform::views {

class Label;

// The 44-point bar at the top of a navigation stack: the top screen's title (or title
// view) in the middle, its left button or a back button titled after the screen below,
// and its right button. It follows changes of the items it shows.
class NavigationBar : public View {
public:
    static constexpr double kHeight = 44;

    NavigationBar();
    explicit NavigationBar(Rect frame);

    // Absent tint = the phone's blue-grey.
    std::optional<Color> tintColor() const { return m_tintColor; }
    void setTintColor(std::optional<Color> color);
    BarStyle barStyle() const { return m_barStyle; }
    void setBarStyle(BarStyle style);
    bool isTranslucent() const { return m_barStyle == BarStyle::BlackTranslucent; }

    // What to show: the top item, and the item below it (for the back button, none at the
    // root). `back` runs when the back button is tapped.
    void setItems(NavigationItem* top, NavigationItem* previous, std::function<void()> back);
    NavigationItem* topItem() const { return m_top; }
    NavigationItem* backItem() const { return m_previous; }

    // The views on the bar now (none when absent).
    BarButtonView* leftButtonView() const { return m_leftView.get(); }
    BarButtonView* backButtonView() const;
    BarButtonView* rightButtonView() const { return m_rightView.get(); }
    View* leftCustomView() const { return m_leftCustom.get(); }
    View* rightCustomView() const { return m_rightCustom.get(); }
    Label* titleLabel() const { return m_titleLabel.get(); }
    std::string backButtonTitle() const;
    Color effectiveTint() const;

    void layoutSubviews() override;
    void drawRect(graphics::Context& context, Rect rect) override;
    bool drawsOpaquely() const override;

private:
    void rebuild();
    void observe();

    std::optional<Color> m_tintColor;
    BarStyle m_barStyle {BarStyle::Default};
    NavigationItem* m_top {nullptr};
    NavigationItem* m_previous {nullptr};
    std::function<void()> m_back;
    std::shared_ptr<BarButtonView> m_leftView;
    std::shared_ptr<BarButtonView> m_rightView;
    std::shared_ptr<View> m_leftCustom;
    std::shared_ptr<View> m_rightCustom;
    std::shared_ptr<View> m_titleView;
    std::shared_ptr<Label> m_titleLabel;
    std::shared_ptr<BarButtonItem::Observer> m_observer;
};

} // namespace platform::views
