#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/views/View.h"

namespace platform::views {

class ActionSheet;
class AlertButton;
class Label;

// What an action sheet tells its delegate. Every operation is optional.
class ActionSheetDelegate {
public:
    virtual ~ActionSheetDelegate() = default;
    virtual void clickedButtonAtIndex(ActionSheet&, int buttonIndex) { }
    virtual void willPresentActionSheet(ActionSheet&) { }
    virtual void didPresentActionSheet(ActionSheet&) { }
    virtual void willDismissWithButtonIndex(ActionSheet&, int buttonIndex) { }
    virtual void didDismissWithButtonIndex(ActionSheet&, int buttonIndex) { }
};

enum class ActionSheetStyle { Automatic, Default, BlackTranslucent, BlackOpaque };

// A choice of actions that rises from the bottom of the screen over a dimmed background.
// Button indexes: the destructive button (when given) is 0, then the other buttons, then
// the cancel button last. The window keeps the sheet alive while it shows.
class ActionSheet : public View {
public:
    // The delegate is held weakly.
    ActionSheet(std::string title, std::weak_ptr<ActionSheetDelegate> delegate,
        std::optional<std::string> cancelButtonTitle, std::optional<std::string> destructiveButtonTitle,
        std::vector<std::string> otherButtonTitles = {});

    const std::string& title() const { return m_title; }
    void setTitle(std::string title);
    // Held weakly: one that has gone is not called.
    std::shared_ptr<ActionSheetDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<ActionSheetDelegate> delegate) { m_delegate = std::move(delegate); }
    ActionSheetStyle actionSheetStyle() const { return m_style; }
    void setActionSheetStyle(ActionSheetStyle style);

    int addButtonWithTitle(const std::string& title);
    int numberOfButtons() const { return int(m_buttonTitles.size()); }
    std::string buttonTitleAtIndex(int index) const;
    int cancelButtonIndex() const { return m_cancelIndex; }
    void setCancelButtonIndex(int index);
    int destructiveButtonIndex() const { return m_destructiveIndex; }
    int firstOtherButtonIndex() const;
    AlertButton* buttonAtIndex(int index) const;

    // Shows the sheet on the window of `view` (the key window when none).
    void showInView(View* view);
    void dismissWithClickedButtonIndex(int index, bool animated);
    bool isVisible() const { return m_visible; }

    Size preferredSize(double width) const;
    void layoutSubviews() override;
    void drawRect(graphics::Context& context, Rect rect) override;

private:
    void rebuildButtons();

    std::string m_title;
    std::weak_ptr<ActionSheetDelegate> m_delegate;
    ActionSheetStyle m_style {ActionSheetStyle::Automatic};
    std::vector<std::string> m_buttonTitles;
    int m_cancelIndex {-1};
    int m_destructiveIndex {-1};
    std::shared_ptr<Label> m_titleLabel;
    std::vector<std::shared_ptr<AlertButton>> m_buttons;
    bool m_visible {false};
};

} // namespace platform::views
