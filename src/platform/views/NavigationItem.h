#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/views/BarButtonItem.h"

namespace platform::views {

// What the navigation bar shows while a controller is on top: its title (or a title view)
// and buttons. backBarButtonItem is what the *next* screen's back button shows.
class NavigationItem {
public:
    NavigationItem() = default;
    explicit NavigationItem(std::string title)
        : m_title(std::move(title)) { }

    const std::string& title() const { return m_title; }
    void setTitle(std::string title);
    const std::shared_ptr<View>& titleView() const { return m_titleView; }
    void setTitleView(std::shared_ptr<View> view);
    const std::shared_ptr<BarButtonItem>& leftBarButtonItem() const { return m_left; }
    void setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item, bool animated = false);
    const std::shared_ptr<BarButtonItem>& rightBarButtonItem() const { return m_right; }
    void setRightBarButtonItem(std::shared_ptr<BarButtonItem> item, bool animated = false);
    const std::shared_ptr<BarButtonItem>& backBarButtonItem() const { return m_back; }
    void setBackBarButtonItem(std::shared_ptr<BarButtonItem> item);
    bool hidesBackButton() const { return m_hidesBackButton; }
    void setHidesBackButton(bool hides, bool animated = false);
    const std::string& prompt() const { return m_prompt; }
    void setPrompt(std::string prompt);

    // Bars showing the item register here to be told when it changes.
    void addObserver(const std::shared_ptr<BarButtonItem::Observer>& observer);

private:
    void changed();

    std::string m_title;
    std::shared_ptr<View> m_titleView;
    std::shared_ptr<BarButtonItem> m_left;
    std::shared_ptr<BarButtonItem> m_right;
    std::shared_ptr<BarButtonItem> m_back;
    bool m_hidesBackButton {false};
    std::string m_prompt;
    std::vector<std::weak_ptr<BarButtonItem::Observer>> m_observers;
};

} // namespace platform::views
