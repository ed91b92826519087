#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/views/BarButtonItem.h"
#include "platform/views/Control.h"

namespace platform::views {

enum class BarStyle { Default, Black, BlackTranslucent };

// The button a navigation bar or toolbar draws for a bar button item, or for its back
// button. Tapping it presses the item (or goes back).
class BarButtonView : public Control {
public:
    // The bevel's highlight lies just below the button.
    bool clipsDrawingToBounds() const override { return false; }
    enum class Kind { Item, Back, ToolbarItem };

    BarButtonView(std::shared_ptr<BarButtonItem> item, Kind kind);
    // A back button titled `title` that runs `back`.
    BarButtonView(std::string title, std::function<void()> back);

    const std::shared_ptr<BarButtonItem>& item() const { return m_item; }
    Kind kind() const { return m_kind; }
    // The word on the button ("" for an icon).
    std::string title() const;
    void setTint(Color tint);
    // The widest a back button may grow.
    void setMaximumWidth(double width) { m_maximumWidth = width; }

    Size sizeThatFits(Size size) const override;
    void drawRect(graphics::Context& context, Rect rect) override;

protected:
    void endTracking(Touch& touch) override;

private:
    void drawFace(graphics::Context& context, Rect face);
    void drawIcon(graphics::Context& context, Rect face, Color ink);
    bool hasIcon() const;

    std::shared_ptr<BarButtonItem> m_item;
    Kind m_kind;
    std::string m_backTitle;
    std::function<void()> m_back;
    Color m_tint {Color::fromHex(0x6D84A2)};
    double m_maximumWidth {150};
};

} // namespace platform::views
