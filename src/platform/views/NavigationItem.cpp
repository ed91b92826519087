#include "platform/views/NavigationItem.h"

#include <algorithm>

namespace platform::views {

void NavigationItem::setTitle(std::string title) {
    if (m_title == title)
        return;
    m_title = std::move(title);
    changed();
}

void NavigationItem::setTitleView(std::shared_ptr<View> view) {
    m_titleView = std::move(view);
    changed();
}

void NavigationItem::setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item, bool) {
    m_left = std::move(item);
    changed();
}

void NavigationItem::setRightBarButtonItem(std::shared_ptr<BarButtonItem> item, bool) {
    m_right = std::move(item);
    changed();
}

void NavigationItem::setBackBarButtonItem(std::shared_ptr<BarButtonItem> item) {
    m_back = std::move(item);
    changed();
}

void NavigationItem::setHidesBackButton(bool hides, bool) {
    m_hidesBackButton = hides;
    changed();
}

void NavigationItem::setPrompt(std::string prompt) {
    m_prompt = std::move(prompt);
    changed();
}

void NavigationItem::addObserver(const std::shared_ptr<BarButtonItem::Observer>& observer) {
    std::erase_if(m_observers, [](auto& w) { return w.expired(); });
    m_observers.push_back(observer);
}

void NavigationItem::changed() {
    for (auto& weak : std::vector<std::weak_ptr<BarButtonItem::Observer>>(m_observers)) {
        if (auto observer = weak.lock())
            (*observer)();
    }
}

} // namespace platform::views
