#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/views/BarButtonView.h"
#include "platform/views/View.h"

namespace platform::views {

// A 44-point bar of buttons, usually at the bottom of a screen. Flexible spaces share
// the room left by the other items.
class Toolbar : public View {
public:
    static constexpr double kHeight = 44;

    Toolbar();
    explicit Toolbar(Rect frame);

    const std::vector<std::shared_ptr<BarButtonItem>>& items() const { return m_items; }
    void setItems(std::vector<std::shared_ptr<BarButtonItem>> items, bool animated = false);
    std::optional<Color> tintColor() const { return m_tintColor; }
    void setTintColor(std::optional<Color> color);
    BarStyle barStyle() const { return m_barStyle; }
    void setBarStyle(BarStyle style);
    // The view showing `item`, or none.
    View* viewForItem(const BarButtonItem* item) const;

    void layoutSubviews() override;
    void drawRect(graphics::Context& context, Rect rect) override;

private:
    void rebuild();
    Color effectiveTint() const;

    std::vector<std::shared_ptr<BarButtonItem>> m_items;
    std::vector<std::shared_ptr<View>> m_itemViews; // one per item; none for spaces
    std::optional<Color> m_tintColor;
    BarStyle m_barStyle {BarStyle::Default};
    std::shared_ptr<BarButtonItem::Observer> m_observer;
};

} // namespace platform::views
