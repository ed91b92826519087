#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/graphics/Image.h"
#include "platform/views/Control.h"

namespace platform::views {

class ImageView;
class Label;
using graphics::Image;

enum class ButtonType { Custom, RoundedRect, DetailDisclosure, InfoLight, InfoDark, ContactAdd };

// A push button with a title, an image and a background image per control state. A state
// without its own value shows the normal state's. Custom buttons draw only what they are
// given; rounded-rect buttons draw the phone's white rounded face.
class Button : public Control {
public:
    static std::shared_ptr<Button> buttonWithType(ButtonType type);
    explicit Button(ButtonType type = ButtonType::Custom);
    explicit Button(Rect frame);

    ButtonType buttonType() const { return m_type; }

    void setTitle(const std::string& title, unsigned state = ControlStateNormal);
    void removeTitle(unsigned state);
    std::optional<std::string> titleForState(unsigned state) const;
    void setTitleColor(Color color, unsigned state = ControlStateNormal);
    std::optional<Color> titleColorForState(unsigned state) const;
    void setTitleShadowColor(Color color, unsigned state = ControlStateNormal);
    std::optional<Color> titleShadowColorForState(unsigned state) const;
    void setImage(Image image, unsigned state = ControlStateNormal);
    Image imageForState(unsigned state) const;
    void setBackgroundImage(Image image, unsigned state = ControlStateNormal);
    Image backgroundImageForState(unsigned state) const;

    // Values for the current state.
    std::string currentTitle() const { return titleForState(state()).value_or(""); }
    Color currentTitleColor() const;
    Image currentImage() const { return imageForState(state()); }
    Image currentBackgroundImage() const { return backgroundImageForState(state()); }

    // The label and image view that show the title and image (set the font on the label).
    Label& titleLabel() const { return *m_titleLabel; }
    ImageView& imageView() const { return *m_imageView; }

    EdgeInsets contentEdgeInsets() const { return m_contentEdgeInsets; }
    void setContentEdgeInsets(EdgeInsets insets);
    EdgeInsets titleEdgeInsets() const { return m_titleEdgeInsets; }
    void setTitleEdgeInsets(EdgeInsets insets);
    EdgeInsets imageEdgeInsets() const { return m_imageEdgeInsets; }
    void setImageEdgeInsets(EdgeInsets insets);
    bool adjustsImageWhenHighlighted() const { return m_adjustsImageWhenHighlighted; }
    void setAdjustsImageWhenHighlighted(bool adjusts) { m_adjustsImageWhenHighlighted = adjusts; }
    bool showsTouchWhenHighlighted() const { return m_showsTouchWhenHighlighted; }
    void setShowsTouchWhenHighlighted(bool shows) { m_showsTouchWhenHighlighted = shows; }

    Size sizeThatFits(Size size) const override;
    void layoutSubviews() override;
    void drawRect(graphics::Context& context, Rect rect) override;
    void setHighlighted(bool highlighted) override;
    void setEnabled(bool enabled) override;
    void setSelected(bool selected) override;

private:
    template<typename T> static std::optional<T> lookup(const std::map<unsigned, T>& values, unsigned state);
    void updateContent();
    void drawRoundedRectFace(graphics::Context& context);
    void drawSymbol(graphics::Context& context);

    ButtonType m_type;
    std::map<unsigned, std::string> m_titles;
    std::map<unsigned, Color> m_titleColors;
    std::map<unsigned, Color> m_titleShadowColors;
    std::map<unsigned, Image> m_images;
    std::map<unsigned, Image> m_backgroundImages;
    std::shared_ptr<Label> m_titleLabel;
    std::shared_ptr<ImageView> m_imageView;
    EdgeInsets m_contentEdgeInsets;
    EdgeInsets m_titleEdgeInsets;
    EdgeInsets m_imageEdgeInsets;
    bool m_adjustsImageWhenHighlighted {true};
    bool m_showsTouchWhenHighlighted {false};
};

} // namespace platform::views
