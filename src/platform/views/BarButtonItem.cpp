#include "platform/views/BarButtonItem.h"

#include <algorithm>

namespace platform::views {

namespace {

std::string systemTitle(BarButtonSystemItem item) {
    switch (item) {
    case BarButtonSystemItem::Done:
        return "Done";
    case BarButtonSystemItem::Cancel:
        return "Cancel";
    case BarButtonSystemItem::Edit:
        return "Edit";
    case BarButtonSystemItem::Save:
        return "Save";
    default:
        return "";
    }
}

BarButtonItemStyle systemStyle(BarButtonSystemItem item) {
    switch (item) {
    case BarButtonSystemItem::Done:
    case BarButtonSystemItem::Save:
        return BarButtonItemStyle::Done;
    case BarButtonSystemItem::FlexibleSpace:
    case BarButtonSystemItem::FixedSpace:
        return BarButtonItemStyle::Plain;
    default:
        return BarButtonItemStyle::Bordered;
    }
}

BarButtonItem::Action wrap(BarButtonItem::SimpleAction action) {
    if (!action)
        return {};
    return [action = std::move(action)](BarButtonItem&) { action(); };
}

} // namespace

BarButtonItem::BarButtonItem(BarButtonSystemItem item, Action action)
    : m_systemItem(item)
    , m_title(systemTitle(item))
    , m_style(systemStyle(item))
    , m_action(std::move(action)) { }

BarButtonItem::BarButtonItem(BarButtonSystemItem item, SimpleAction action)
    : BarButtonItem(item, wrap(std::move(action))) { }

BarButtonItem::BarButtonItem(std::string title, BarButtonItemStyle style, Action action)
    : m_title(std::move(title))
    , m_style(style)
    , m_action(std::move(action)) { }

BarButtonItem::BarButtonItem(std::string title, BarButtonItemStyle style, SimpleAction action)
    : BarButtonItem(std::move(title), style, wrap(std::move(action))) { }

BarButtonItem::BarButtonItem(graphics::Image image, BarButtonItemStyle style, Action action)
    : m_image(std::move(image))
    , m_style(style)
    , m_action(std::move(action)) { }

BarButtonItem::BarButtonItem(graphics::Image image, BarButtonItemStyle style, SimpleAction action)
    : BarButtonItem(std::move(image), style, wrap(std::move(action))) { }

BarButtonItem::BarButtonItem(std::shared_ptr<View> customView)
    : m_style(BarButtonItemStyle::Plain)
    , m_customView(std::move(customView)) { }

void BarButtonItem::setTitle(std::string title) {
    m_title = std::move(title);
    changed();
}

void BarButtonItem::setImage(graphics::Image image) {
    m_image = std::move(image);
    changed();
}

void BarButtonItem::setStyle(BarButtonItemStyle style) {
    m_style = style;
    changed();
}

void BarButtonItem::setEnabled(bool enabled) {
    m_enabled = enabled;
    changed();
}

void BarButtonItem::setWidth(double width) {
    m_width = width;
    changed();
}

void BarButtonItem::setCustomView(std::shared_ptr<View> view) {
    m_customView = std::move(view);
    changed();
}

void BarButtonItem::setTintColor(std::optional<Color> color) {
    m_tintColor = color;
    changed();
}

void BarButtonItem::setAction(SimpleAction action) {
    m_action = wrap(std::move(action));
}

void BarButtonItem::press() {
    if (!m_enabled || !m_action)
        return;
    // The action may release the item's last owner (a screen replacing its buttons).
    auto keep = weak_from_this().lock();
    auto action = m_action;
    action(*this);
}

void BarButtonItem::addObserver(const std::shared_ptr<Observer>& observer) {
    std::erase_if(m_observers, [](auto& w) { return w.expired(); });
    m_observers.push_back(observer);
}

void BarButtonItem::changed() {
    for (auto& weak : std::vector<std::weak_ptr<Observer>>(m_observers)) {
        if (auto observer = weak.lock())
            (*observer)();
    }
}

} // namespace platform::views
