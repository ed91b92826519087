#include "platform/views/Button.h"

#include <cmath>
#include <numbers>

#include "platform/graphics/Context.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/ImageView.h"
#include "platform/views/Label.h"

namespace platform::views {

namespace {
constexpr Color kRoundedRectTitle = Color::rgba(0.196, 0.310, 0.522);
}

std::shared_ptr<Button> Button::buttonWithType(ButtonType type) {
    auto button = std::make_shared<Button>(type);
    switch (type) {
    case ButtonType::DetailDisclosure:
    case ButtonType::ContactAdd:
        button->setFrame(Rect(0, 0, 29, 31));
        break;
    case ButtonType::InfoLight:
    case ButtonType::InfoDark:
        button->setFrame(Rect(0, 0, 18, 19));
        break;
    default:
        break;
    }
    return button;
}

Button::Button(ButtonType type)
    : m_type(type)
    , m_titleLabel(std::make_shared<Label>())
    , m_imageView(std::make_shared<ImageView>()) {
    setOpaque(false);
    m_titleLabel->setTextAlignment(TextAlignment::Center);
    m_titleLabel->setLineBreakMode(LineBreakMode::MiddleTruncation);
    if (type == ButtonType::RoundedRect) {
        m_titleLabel->setFont(Font::boldSystemFontOfSize(15));
        setTitleColor(kRoundedRectTitle);
        setTitleColor(Color::whiteColor(), ControlStateHighlighted);
        setTitleColor(Color::whiteColor(), ControlStateSelected);
    } else {
        m_titleLabel->setFont(Font::boldSystemFontOfSize(15));
        setTitleColor(Color::whiteColor());
    }
    addSubview(m_imageView);
    addSubview(m_titleLabel);
}

Button::Button(Rect frame)
    : Button(ButtonType::Custom) {
    setFrame(frame);
}

template<typename T> std::optional<T> Button::lookup(const std::map<unsigned, T>& values, unsigned state) {
    if (auto it = values.find(state); it != values.end())
        return it->second;
    // A combined state falls back to its strongest part, then to normal.
    for (unsigned part :
        {unsigned(ControlStateDisabled), unsigned(ControlStateHighlighted), unsigned(ControlStateSelected)}) {
        if (state & part) {
            if (auto it = values.find(part); it != values.end())
                return it->second;
        }
    }
    if (auto it = values.find(ControlStateNormal); it != values.end())
        return it->second;
    return std::nullopt;
}

void Button::setTitle(const std::string& title, unsigned state) {
    m_titles[state] = title;
    updateContent();
}

void Button::removeTitle(unsigned state) {
    m_titles.erase(state);
    updateContent();
}

std::optional<std::string> Button::titleForState(unsigned state) const {
    return lookup(m_titles, state);
}

void Button::setTitleColor(Color color, unsigned state) {
    m_titleColors[state] = color;
    updateContent();
}

std::optional<Color> Button::titleColorForState(unsigned state) const {
    return lookup(m_titleColors, state);
}

void Button::setTitleShadowColor(Color color, unsigned state) {
    m_titleShadowColors[state] = color;
    updateContent();
}

std::optional<Color> Button::titleShadowColorForState(unsigned state) const {
    return lookup(m_titleShadowColors, state);
}

void Button::setImage(Image image, unsigned state) {
    m_images[state] = std::move(image);
    updateContent();
}

Image Button::imageForState(unsigned state) const {
    return lookup(m_images, state).value_or(Image {});
}

void Button::setBackgroundImage(Image image, unsigned state) {
    m_backgroundImages[state] = std::move(image);
    setNeedsDisplay();
}

Image Button::backgroundImageForState(unsigned state) const {
    return lookup(m_backgroundImages, state).value_or(Image {});
}

Color Button::currentTitleColor() const {
    return titleColorForState(state()).value_or(Color::whiteColor());
}

void Button::setContentEdgeInsets(EdgeInsets insets) {
    m_contentEdgeInsets = insets;
    setNeedsLayout();
}

void Button::setTitleEdgeInsets(EdgeInsets insets) {
    m_titleEdgeInsets = insets;
    setNeedsLayout();
}

void Button::setImageEdgeInsets(EdgeInsets insets) {
    m_imageEdgeInsets = insets;
    setNeedsLayout();
}

void Button::setHighlighted(bool highlighted) {
    Control::setHighlighted(highlighted);
    updateContent();
}

void Button::setEnabled(bool enabled) {
    Control::setEnabled(enabled);
    updateContent();
}

void Button::setSelected(bool selected) {
    Control::setSelected(selected);
    updateContent();
}

void Button::updateContent() {
    m_titleLabel->setText(currentTitle());
    m_titleLabel->setTextColor(currentTitleColor());
    m_titleLabel->setShadowColor(titleShadowColorForState(state()));
    m_imageView->setImage(currentImage());
    m_imageView->setAlpha(!isEnabled() && m_type == ButtonType::Custom ? 0.5 : 1);
    setNeedsLayout();
    setNeedsDisplay();
}

Size Button::sizeThatFits(Size) const {
    Size title = m_titleLabel->sizeThatFits({});
    Image image = currentImage();
    Size imageSize = image ? image.size() : Size {};
    double width = title.width + imageSize.width + m_contentEdgeInsets.left + m_contentEdgeInsets.right;
    double height
        = std::max(title.height, imageSize.height) + m_contentEdgeInsets.top + m_contentEdgeInsets.bottom;
    if (Image background = currentBackgroundImage()) {
        width = std::max(width, background.size().width);
        height = std::max(height, background.size().height);
    }
    return {std::ceil(width), std::ceil(height)};
}

void Button::layoutSubviews() {
    Rect content = bounds().inset(m_contentEdgeInsets);
    Image image = currentImage();
    Size imageSize = image ? image.size() : Size {};
    imageSize.width = std::min(imageSize.width, content.width());
    imageSize.height = std::min(imageSize.height, content.height());
    Size titleSize = m_titleLabel->text().empty() ? Size {} : m_titleLabel->sizeThatFits({});
    titleSize.width = std::min(titleSize.width, std::max(0.0, content.width() - imageSize.width));
    titleSize.height = std::min(titleSize.height, content.height());
    double total = imageSize.width + titleSize.width;
    double x = content.x();
    switch (contentHorizontalAlignment()) {
    case ControlContentHorizontalAlignment::Center:
        x += std::floor((content.width() - total) / 2);
        break;
    case ControlContentHorizontalAlignment::Right:
        x = content.maxX() - total;
        break;
    case ControlContentHorizontalAlignment::Fill:
        titleSize.width = std::max(0.0, content.width() - imageSize.width);
        break;
    case ControlContentHorizontalAlignment::Left:
        break;
    }
    auto verticalY = [&](double h) {
        switch (contentVerticalAlignment()) {
        case ControlContentVerticalAlignment::Top:
            return content.y();
        case ControlContentVerticalAlignment::Bottom:
            return content.maxY() - h;
        default:
            return content.y() + std::floor((content.height() - h) / 2);
        }
    };
    Rect imageRect(x, verticalY(imageSize.height), imageSize.width, imageSize.height);
    Rect titleRect(x + imageSize.width, verticalY(titleSize.height), titleSize.width, titleSize.height);
    m_imageView->setFrame(imageRect.inset(m_imageEdgeInsets));
    m_titleLabel->setFrame(titleRect.inset(m_titleEdgeInsets));
    m_imageView->setHidden(!image);
    m_titleLabel->setHidden(m_titleLabel->text().empty());
}

void Button::drawRect(graphics::Context& context, Rect) {
    if (Image background = currentBackgroundImage()) {
        background.drawInRect(context, bounds());
    } else if (m_type == ButtonType::RoundedRect) {
        drawRoundedRectFace(context);
    }
    if (m_type == ButtonType::DetailDisclosure || m_type == ButtonType::ContactAdd
        || m_type == ButtonType::InfoLight || m_type == ButtonType::InfoDark)
        drawSymbol(context);
    if (m_showsTouchWhenHighlighted && isHighlighted()) {
        context.setFillColor(Color::whiteColor().withAlpha(0.5));
        Point c = bounds().center();
        context.fillEllipseInRect(Rect(c.x - 20, c.y - 20, 40, 40));
    }
    // A custom button with no background and an image darkens while pressed.
    if (m_type == ButtonType::Custom && isHighlighted() && m_adjustsImageWhenHighlighted && currentImage()
        && !currentBackgroundImage()) {
        context.setFillColor(Color::black().withAlpha(0.3));
        context.fillRect(m_imageView->frame());
    }
}

void Button::drawRoundedRectFace(graphics::Context& context) {
    Rect face = bounds().insetBy(0.5, 0.5);
    double radius = std::min(9.0, face.height() / 2);
    addRoundedRectPath(context, face, radius);
    if (isHighlighted()) {
        context.saveGState();
        context.clip();
        graphics::Gradient gradient {{{0, Color::fromHex(0x058CF5)}, {1, Color::fromHex(0x015EE6)}}};
        context.drawLinearGradient(gradient, {0, face.minY()}, {0, face.maxY()});
        context.restoreGState();
    } else {
        context.setFillColor(Color::whiteColor());
        context.fillPath();
    }
    addRoundedRectPath(context, face, radius);
    context.setStrokeColor(Color::white(0.55));
    context.setLineWidth(1);
    context.strokePath();
}

void Button::drawSymbol(graphics::Context& context) {
    Point c = bounds().center();
    bool light = m_type == ButtonType::InfoLight;
    double r = m_type == ButtonType::DetailDisclosure || m_type == ButtonType::ContactAdd ? 11 : 8;
    Rect circle(c.x - r, c.y - r, 2 * r, 2 * r);
    context.setShadowWithColor({0, 1}, 1, Color::black().withAlpha(0.4));
    context.setFillColor(light ? Color::whiteColor() : Color::whiteColor());
    context.fillEllipseInRect(circle);
    context.clearShadow();
    Color face = isHighlighted() ? Color::fromHex(0x1F4E9E) : Color::fromHex(0x2F6FDB);
    if (m_type == ButtonType::InfoDark)
        face = Color::white(0.2);
    if (light)
        face = Color::white(0.9);
    context.setFillColor(face);
    context.fillEllipseInRect(circle.insetBy(2, 2));
    context.setStrokeColor(light ? Color::white(0.2) : Color::whiteColor());
    context.setLineWidth(2.5);
    context.setLineCap(graphics::LineCap::Round);
    context.beginPath();
    switch (m_type) {
    case ButtonType::DetailDisclosure:
        context.moveToPoint(c.x - 2, c.y - 5);
        context.addLineToPoint(c.x + 3, c.y);
        context.addLineToPoint(c.x - 2, c.y + 5);
        break;
    case ButtonType::ContactAdd:
        context.moveToPoint(c.x - 5, c.y);
        context.addLineToPoint(c.x + 5, c.y);
        context.moveToPoint(c.x, c.y - 5);
        context.addLineToPoint(c.x, c.y + 5);
        break;
    default:
        context.setLineWidth(2);
        context.moveToPoint(c.x, c.y - 1);
        context.addLineToPoint(c.x, c.y + 4);
        context.moveToPoint(c.x, c.y - 4.5);
        context.addLineToPoint(c.x, c.y - 4);
        break;
    }
    context.strokePath();
}

} // namespace platform::views
