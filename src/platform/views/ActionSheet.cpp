#include "platform/views/ActionSheet.h"

#include <cmath>

#include "platform/graphics/Context.h"
#include "platform/views/AlertButton.h"
#include "platform/views/Application.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/Label.h"
#include "platform/views/Screen.h"
#include "platform/views/Window.h"

namespace platform::views {

namespace {
constexpr double kMargin = 20;
constexpr double kButtonHeight = 46;
constexpr double kButtonGap = 8;
constexpr double kCancelGap = 16;
} // namespace

ActionSheet::ActionSheet(std::string title, std::weak_ptr<ActionSheetDelegate> delegate,
    std::optional<std::string> cancelButtonTitle, std::optional<std::string> destructiveButtonTitle,
    std::vector<std::string> otherButtonTitles)
    : View(Rect(0, 0, Screen::kWidth, 200))
    , m_title(std::move(title))
    , m_delegate(std::move(delegate))
    , m_titleLabel(std::make_shared<Label>()) {
    if (destructiveButtonTitle) {
        m_buttonTitles.push_back(*destructiveButtonTitle);
        m_destructiveIndex = 0;
    }
    for (auto& other : otherButtonTitles)
        m_buttonTitles.push_back(other);
    if (cancelButtonTitle) {
        m_buttonTitles.push_back(*cancelButtonTitle);
        m_cancelIndex = int(m_buttonTitles.size()) - 1;
    }
    m_titleLabel->setFont(Font::systemFontOfSize(13));
    m_titleLabel->setTextColor(Color::white(0.85));
    m_titleLabel->setShadowColor(Color::black().withAlpha(0.5));
    m_titleLabel->setTextAlignment(TextAlignment::Center);
    m_titleLabel->setNumberOfLines(0);
    addSubview(m_titleLabel);
    rebuildButtons();
}

void ActionSheet::setTitle(std::string title) {
    m_title = std::move(title);
    setNeedsLayout();
}

void ActionSheet::setActionSheetStyle(ActionSheetStyle style) {
    m_style = style;
    setNeedsDisplay();
}

int ActionSheet::addButtonWithTitle(const std::string& title) {
    m_buttonTitles.push_back(title);
    rebuildButtons();
    return int(m_buttonTitles.size()) - 1;
}

std::string ActionSheet::buttonTitleAtIndex(int index) const {
    if (index < 0 || index >= int(m_buttonTitles.size()))
        return "";
    return m_buttonTitles[index];
}

void ActionSheet::setCancelButtonIndex(int index) {
    m_cancelIndex = index;
    rebuildButtons();
}

int ActionSheet::firstOtherButtonIndex() const {
    for (int i = 0; i < int(m_buttonTitles.size()); ++i) {
        if (i != m_cancelIndex && i != m_destructiveIndex)
            return i;
    }
    return -1;
}

AlertButton* ActionSheet::buttonAtIndex(int index) const {
    for (auto& button : m_buttons) {
        if (button->buttonIndex() == index)
            return button.get();
    }
    return nullptr;
}

void ActionSheet::rebuildButtons() {
    for (auto& button : m_buttons)
        button->removeFromSuperview();
    m_buttons.clear();
    for (int i = 0; i < int(m_buttonTitles.size()); ++i) {
        auto look = i == m_cancelIndex ? AlertButton::Look::SheetCancel
            : i == m_destructiveIndex  ? AlertButton::Look::SheetDestructive
                                       : AlertButton::Look::Sheet;
        auto button = std::make_shared<AlertButton>(m_buttonTitles[i], look, i);
        button->addTarget(
            [this, i] {
                auto keep = shared_from_this();
                if (auto delegate = m_delegate.lock())
                    delegate->clickedButtonAtIndex(*this, i);
                dismissWithClickedButtonIndex(i, true);
            },
            ControlEventTouchUpInside);
        m_buttons.push_back(button);
        addSubview(button);
    }
    setNeedsLayout();
}

Size ActionSheet::preferredSize(double width) const {
    double height = 14;
    if (!m_title.empty())
        height += m_titleLabel->sizeThatFits({width - 2 * kMargin, 0}).height + 12;
    int count = int(m_buttonTitles.size());
    height += count * kButtonHeight + std::max(0, count - 1) * kButtonGap;
    if (m_cancelIndex >= 0 && count > 1)
        height += kCancelGap - kButtonGap;
    height += 16;
    return {width, std::ceil(height)};
}

void ActionSheet::layoutSubviews() {
    if (Window* window = this->window()) {
        Rect screen = window->bounds();
        Size size = preferredSize(screen.width());
        View::setFrame(Rect(0, screen.height() - size.height, size.width, size.height));
    }
    double width = bounds().width() - 2 * kMargin;
    double y = 14;
    m_titleLabel->setText(m_title);
    m_titleLabel->setHidden(m_title.empty());
    if (!m_title.empty()) {
        double h = m_titleLabel->sizeThatFits({width, 0}).height;
        m_titleLabel->setFrame(Rect(kMargin, y, width, h));
        y += h + 12;
    }
    for (auto& button : m_buttons) {
        if (button->buttonIndex() == m_cancelIndex && m_buttons.size() > 1)
            y += kCancelGap - kButtonGap;
        button->setFrame(Rect(kMargin, y, width, kButtonHeight));
        y += kButtonHeight + kButtonGap;
    }
}

void ActionSheet::drawRect(graphics::Context& context, Rect) {
    Rect b = bounds();
    fillVerticalGradient(
        context, b, Color::rgba(0.42, 0.45, 0.50, 0.93), Color::rgba(0.20, 0.22, 0.26, 0.93));
    context.setFillColor(Color::white(0.75, 0.9));
    context.fillRect(Rect(b.x(), b.y(), b.width(), 1));
}

void ActionSheet::showInView(View* view) {
    if (m_visible)
        return;
    Window* window = view ? view->window() : nullptr;
    if (!window)
        window = Application::sharedApplication().keyWindow();
    if (!window)
        return;
    auto keep = shared_from_this();
    if (auto delegate = m_delegate.lock())
        delegate->willPresentActionSheet(*this);
    m_visible = true;
    window->presentAlert(keep);
    layoutIfNeeded();
    if (auto delegate = m_delegate.lock())
        delegate->didPresentActionSheet(*this);
}

void ActionSheet::dismissWithClickedButtonIndex(int index, bool) {
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
