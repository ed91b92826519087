#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/views/View.h"

namespace platform::views {

class AlertButton;
class AlertView;
class Label;

// What an alert tells its delegate. Every operation is optional.
class AlertViewDelegate {
public:
    virtual ~AlertViewDelegate() = default;
    virtual void clickedButtonAtIndex(AlertView&, int buttonIndex) { }
    virtual void willPresentAlertView(AlertView&) { }
    virtual void didPresentAlertView(AlertView&) { }
    virtual void willDismissWithButtonIndex(AlertView&, int buttonIndex) { }
    virtual void didDismissWithButtonIndex(AlertView&, int buttonIndex) { }
};

// A modal message with buttons over a dimmed screen. Button indexes: the cancel button
// (when given) is 0, then the other buttons in order. Two buttons sit side by side, cancel
// on the left; otherwise they stack with cancel at the bottom.
//
// show() puts the alert on the key window, which keeps it alive until it is dismissed (a
// button tap dismisses it after telling the delegate clickedButtonAtIndex).
class AlertView : public View {
public:
    // The panel casts its shadow around itself.
    bool clipsDrawingToBounds() const override { return false; }
    // The delegate is held weakly: an alert whose screen has gone tells nobody.
    AlertView(std::string title, std::string message, std::weak_ptr<AlertViewDelegate> delegate,
        std::optional<std::string> cancelButtonTitle, std::vector<std::string> otherButtonTitles = {});
    // Without a delegate.
    AlertView(std::string title, std::string message, std::nullptr_t,
        std::optional<std::string> cancelButtonTitle, std::vector<std::string> otherButtonTitles = {})
        : AlertView(std::move(title), std::move(message), std::weak_ptr<AlertViewDelegate>(),
            std::move(cancelButtonTitle), std::move(otherButtonTitles)) { }

    const std::string& title() const { return m_title; }
    void setTitle(std::string title);
    const std::string& message() const { return m_message; }
    void setMessage(std::string message);
    // Held weakly: one that has gone is not called.
    std::shared_ptr<AlertViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<AlertViewDelegate> delegate) { m_delegate = std::move(delegate); }

    int addButtonWithTitle(const std::string& title);
    int numberOfButtons() const { return int(m_buttonTitles.size()); }
    std::string buttonTitleAtIndex(int index) const;
    // -1 when there is none.
    int cancelButtonIndex() const { return m_cancelIndex; }
    void setCancelButtonIndex(int index);
    int firstOtherButtonIndex() const;
    // The button view for an index while the alert shows (for tests and the driver).
    AlertButton* buttonAtIndex(int index) const;

    void show();
    void dismissWithClickedButtonIndex(int index, bool animated);
    bool isVisible() const { return m_visible; }

    // The alert's size for its content.
    Size preferredSize() const;
    void layoutSubviews() override;
    void drawRect(graphics::Context& context, Rect rect) override;

private:
    void rebuildButtons();
    void buttonTapped(int index);

    std::string m_title;
    std::string m_message;
    std::weak_ptr<AlertViewDelegate> m_delegate;
    std::vector<std::string> m_buttonTitles;
    int m_cancelIndex {-1};
    std::shared_ptr<Label> m_titleLabel;
    std::shared_ptr<Label> m_messageLabel;
    std::vector<std::shared_ptr<AlertButton>> m_buttons;
    bool m_visible {false};
};

} // namespace platform::views
