#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/Image.h"
#include "platform/views/View.h"

namespace platform::views {

enum class BarButtonSystemItem {
    Done,
    Cancel,
    Edit,
    Save,
    Add,
    FlexibleSpace,
    FixedSpace,
    Compose,
    Reply,
    Action,
    Organize,
    Bookmarks,
    Search,
    Refresh,
    Stop,
    Camera,
    Trash,
    Play,
    Pause,
    Rewind,
    FastForward,
};

enum class BarButtonItemStyle { Plain, Bordered, Done };

// A button of a navigation bar or toolbar: a system item, a title, an image or a custom
// view. The bar that shows it draws it; pressing it (or press()) runs its action while it
// is enabled.
class BarButtonItem : public std::enable_shared_from_this<BarButtonItem> {
public:
    using Action = std::function<void(BarButtonItem& sender)>;
    using SimpleAction = std::function<void()>;

    BarButtonItem(BarButtonSystemItem item, Action action = {});
    BarButtonItem(BarButtonSystemItem item, SimpleAction action);
    BarButtonItem(std::string title, BarButtonItemStyle style, Action action = {});
    BarButtonItem(std::string title, BarButtonItemStyle style, SimpleAction action);
    BarButtonItem(graphics::Image image, BarButtonItemStyle style, Action action = {});
    BarButtonItem(graphics::Image image, BarButtonItemStyle style, SimpleAction action);
    explicit BarButtonItem(std::shared_ptr<View> customView);

    std::optional<BarButtonSystemItem> systemItem() const { return m_systemItem; }
    // System items with a word (Done, Cancel, Edit, Save) answer it here.
    const std::string& title() const { return m_title; }
    void setTitle(std::string title);
    const graphics::Image& image() const { return m_image; }
    void setImage(graphics::Image image);
    BarButtonItemStyle style() const { return m_style; }
    void setStyle(BarButtonItemStyle style);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    // Width of a fixed space, or a fixed width for the button (0 = as wide as it needs).
    double width() const { return m_width; }
    void setWidth(double width);
    const std::shared_ptr<View>& customView() const { return m_customView; }
    void setCustomView(std::shared_ptr<View> view);
    // The bar's tint for this button (none = the bar's).
    std::optional<Color> tintColor() const { return m_tintColor; }
    void setTintColor(std::optional<Color> color);

    void setAction(Action action) { m_action = std::move(action); }
    void setAction(SimpleAction action);
    bool hasAction() const { return bool(m_action); }
    // Runs the action when enabled.
    void press();

    bool isSpace() const {
        return m_systemItem == BarButtonSystemItem::FlexibleSpace
            || m_systemItem == BarButtonSystemItem::FixedSpace;
    }

    // Bars showing the item register here to be told when it changes.
    using Observer = std::function<void()>;
    void addObserver(const std::shared_ptr<Observer>& observer);

private:
    void changed();

    std::optional<BarButtonSystemItem> m_systemItem;
    std::string m_title;
    graphics::Image m_image;
    BarButtonItemStyle m_style {BarButtonItemStyle::Plain};
    bool m_enabled {true};
    int m_tag {0};
    double m_width {0};
    std::shared_ptr<View> m_customView;
    std::optional<Color> m_tintColor;
    Action m_action;
    std::vector<std::weak_ptr<Observer>> m_observers;
};

} // namespace platform::views
