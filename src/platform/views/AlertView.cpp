#include "platform/views/AlertView.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/Context.h"
#include "platform/views/AlertButton.h"
#include "platform/views/Application.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/Label.h"
#include "platform/views/Window.h"

namespace platform::views {

namespace {
constexpr double kWidth = 284;
constexpr double kMargin = 12;
constexpr double kButtonHeight = 43;
constexpr double kButtonGap = 8;
} // namespace

AlertView::AlertView(std::string title, std::string message, std::weak_ptr<AlertViewDelegate> delegate,
    std::optional<std::string> cancelButtonTitle, std::vector<std::string> otherButtonTitles)
    : View(Rect(0, 0, kWidth, 140))
    , m_title(std::move(title))
    , m_message(std::move(message))
    , m_delegate(std::move(delegate))
    , m_titleLabel(std::make_shared<Label>())
    , m_messageLabel(std::make_shared<Label>()) {
    setOpaque(false);
    if (cancelButtonTitle) {
        m_buttonTitles.push_back(*cancelButtonTitle);
        m_cancelIndex = 0;
    }
    for (auto& other : otherButtonTitles)
        m_buttonTitles.push_back(other);
    m_titleLabel->setFont(Font::boldSystemFontOfSize(18));
    m_titleLabel->setTextColor(Color::whiteColor());
    m_titleLabel->setShadowColor(Color::black().withAlpha(0.5));
    m_titleLabel->setTextAlignment(TextAlignment::Center);
    m_titleLabel->setNumberOfLines(0);
    m_titleLabel->setLineBreakMode(LineBreakMode::WordWrap);
    m_messageLabel->setFont(Font::systemFontOfSize(16));
    m_messageLabel->setTextColor(Color::whiteColor());
    m_messageLabel->setShadowColor(Color::black().withAlpha(0.5));
    m_messageLabel->setTextAlignment(TextAlignment::Center);
    m_messageLabel->setNumberOfLines(0);
    m_messageLabel->setLineBreakMode(LineBreakMode::WordWrap);
    addSubview(m_titleLabel);
    addSubview(m_messageLabel);
    rebuildButtons();
}

void AlertView::setTitle(std::string title) {
    m_title = std::move(title);
    setNeedsLayout();
}

void AlertView::setMessage(std::string message) {
    m_message = std::move(message);
    setNeedsLayout();
}

int AlertView::addButtonWithTitle(const std::string& title) {
    m_buttonTitles.push_back(title);
    rebuildButtons();
    return int(m_buttonTitles.size()) - 1;
}

std::string AlertView::buttonTitleAtIndex(int index) const {
    if (index < 0 || index >= int(m_buttonTitles.size()))
        return "";
    return m_buttonTitles[index];
}

void AlertView::setCancelButtonIndex(int index) {
    m_cancelIndex = index;
    rebuildButtons();
}

int AlertView::firstOtherButtonIndex() const {
    for (int i = 0; i < int(m_buttonTitles.size()); ++i) {
        if (i != m_cancelIndex)
            return i;
    }
    return -1;
}

AlertButton* AlertView::buttonAtIndex(int index) const {
    for (auto& button : m_buttons) {
        if (button->buttonIndex() == index)
            return button.get();
    }
    return nullptr;
}

void AlertView::rebuildButtons() {
    for (auto& button : m_buttons)
        button->removeFromSuperview();
    m_buttons.clear();
    for (int i = 0; i < int(m_buttonTitles.size()); ++i) {
        auto look = i == m_cancelIndex ? AlertButton::Look::AlertCancel : AlertButton::Look::Alert;
        auto button = std::make_shared<AlertButton>(m_buttonTitles[i], look, i);
        std::weak_ptr<View> weak = weak_from_this();
        button->addTarget([this, i] { buttonTapped(i); }, ControlEventTouchUpInside);
        m_buttons.push_back(button);
        addSubview(button);
    }
    setNeedsLayout();
}

void AlertView::buttonTapped(int index) {
    auto keep = shared_from_this();
    if (auto delegate = m_delegate.lock())
        delegate->clickedButtonAtIndex(*this, index);
    dismissWithClickedButtonIndex(index, true);
}

Size AlertView::preferredSize() const {
    double inner = kWidth - 2 * kMargin - 8;
    double height = 16;
    if (!m_title.empty())
        height += m_titleLabel->sizeThatFits({inner, 0}).height + 6;
    if (!m_message.empty())
        height += m_messageLabel->sizeThatFits({inner, 0}).height + 6;
    height += 10;
    int count = int(m_buttonTitles.size());
    if (count == 2)
        height += kButtonHeight;
    else if (count > 0)
        height += count * kButtonHeight + (count - 1) * kButtonGap;
    height += 16;
    return {kWidth, std::ceil(height)};
}

void AlertView::layoutSubviews() {
    // The window decides where the alert goes: centred, above the keyboard area.
    if (Window* window = this->window()) {
        Size size = preferredSize();
        Rect screen = window->bounds();
        double top = std::max(20.0, std::floor((screen.height() - size.height) / 2));
        View::setFrame(Rect(std::floor((screen.width() - size.width) / 2), top, size.width, size.height));
    }
    double inner = kWidth - 2 * kMargin - 8;
    double y = 16;
    double x = kMargin + 4;
    m_titleLabel->setText(m_title);
    m_messageLabel->setText(m_message);
    m_titleLabel->setHidden(m_title.empty());
    m_messageLabel->setHidden(m_message.empty());
    if (!m_title.empty()) {
        double h = m_titleLabel->sizeThatFits({inner, 0}).height;
        m_titleLabel->setFrame(Rect(x, y, inner, h));
        y += h + 6;
    }
    if (!m_message.empty()) {
        double h = m_messageLabel->sizeThatFits({inner, 0}).height;
        m_messageLabel->setFrame(Rect(x, y, inner, h));
        y += h + 6;
    }
    y += 10;
    double width = kWidth - 2 * kMargin;
    if (m_buttons.size() == 2) {
        // Side by side, cancel first.
        auto first = m_buttons[0], second = m_buttons[1];
        if (m_cancelIndex == 1)
            std::swap(first, second);
        double half = (width - kButtonGap) / 2;
        first->setFrame(Rect(kMargin, y, half, kButtonHeight));
        second->setFrame(Rect(kMargin + half + kButtonGap, y, half, kButtonHeight));
        return;
    }
    std::vector<std::shared_ptr<AlertButton>> order;
    for (auto& b : m_buttons) {
        if (b->buttonIndex() != m_cancelIndex)
            order.push_back(b);
    }
    for (auto& b : m_buttons) {
        if (b->buttonIndex() == m_cancelIndex)
            order.push_back(b);
    }
    for (auto& b : order) {
        b->setFrame(Rect(kMargin, y, width, kButtonHeight));
        y += kButtonHeight + kButtonGap;
    }
}

void AlertView::drawRect(graphics::Context& context, Rect) {
    Rect panel = bounds().insetBy(2, 2);
    context.saveGState();
    context.setShadowWithColor({0, 4}, 10, Color::black().withAlpha(0.6));
    addRoundedRectPath(context, panel, 10);
    context.setFillColor(Color::rgba(0.04, 0.10, 0.30, 0.9));
    context.fillPath();
    context.restoreGState();
    context.saveGState();
    addRoundedRectPath(context, panel, 10);
    context.clip();
    fillVerticalGradient(
        context, panel, Color::rgba(0.20, 0.29, 0.52, 0.92), Color::rgba(0.04, 0.10, 0.30, 0.92));
    // The gloss over the top of the panel.
    context.beginPath();
    context.addEllipseInRect(Rect(panel.x() - 60, panel.y() - 70, panel.width() + 120, 110));
    context.setFillColor(Color::whiteColor().withAlpha(0.12));
    context.fillPath();
    context.restoreGState();
    addRoundedRectPath(context, panel, 10);
    context.setStrokeColor(Color::whiteColor().withAlpha(0.9));
    context.setLineWidth(2);
    context.strokePath();
}

void AlertView::show() {
    if (m_visible)
        return;
    Window* window = Application::sharedApplication().keyWindow();
    if (!window)
        return;
    auto keep = shared_from_this();
    if (auto delegate = m_delegate.lock())
        delegate->willPresentAlertView(*this);
    m_visible = true;
    window->presentAlert(keep);
    layoutIfNeeded();
    if (auto delegate = m_delegate.lock())
        delegate->didPresentAlertView(*this);
}

void AlertView::dismissWithClickedButtonIndex(int index, bool) {
    if (!m_visible)
        return;
    auto keep = shared_from_this();
    if (auto delegate = m_delegate.lock())
        delegate->willDismissWithButtonIndex(*this, index);
    m_visible = false;
    if (Window* window = this->window())
        window->dismissAlert(this);
    if (auto delegate = m_delegate.lock())
        delegate->didDismissWithButtonIndex(*this, index);
}

} // namespace platform::views
