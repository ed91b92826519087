#include "platform/views/Toolbar.h"

#include <cmath>

#include "platform/graphics/Context.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/Screen.h"

namespace platform::views {

Toolbar::Toolbar()
    : Toolbar(Rect(0, 0, Screen::kWidth, kHeight)) { }

Toolbar::Toolbar(Rect frame)
    : View(frame) {
    setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleTopMargin);
}

void Toolbar::setItems(std::vector<std::shared_ptr<BarButtonItem>> items, bool) {
    m_items = std::move(items);
    rebuild();
}

void Toolbar::setTintColor(std::optional<Color> color) {
    m_tintColor = color;
    rebuild();
}

void Toolbar::setBarStyle(BarStyle style) {
    m_barStyle = style;
    rebuild();
}

Color Toolbar::effectiveTint() const {
    if (m_tintColor)
        return *m_tintColor;
    return m_barStyle == BarStyle::Default ? Color::rgba(0.427, 0.518, 0.635) : Color::white(0.12);
}

View* Toolbar::viewForItem(const BarButtonItem* item) const {
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].get() == item)
            return m_itemViews[i].get();
    }
    return nullptr;
}

void Toolbar::rebuild() {
    for (auto& view : m_itemViews) {
        if (view)
            view->removeFromSuperview();
    }
    m_itemViews.clear();
    std::weak_ptr<View> weak = weak_from_this();
    m_observer = std::make_shared<BarButtonItem::Observer>([weak] {
        if (auto bar = std::static_pointer_cast<Toolbar>(weak.lock()))
            bar->rebuild();
    });
    for (auto& item : m_items) {
        item->addObserver(m_observer);
        std::shared_ptr<View> view;
        if (item->customView()) {
            view = item->customView();
        } else if (!item->isSpace()) {
            auto button = std::make_shared<BarButtonView>(item, BarButtonView::Kind::ToolbarItem);
            button->setTint(effectiveTint());
            view = button;
        }
        if (view)
            addSubview(view);
        m_itemViews.push_back(view);
    }
    setNeedsLayout();
    setNeedsDisplay();
}

void Toolbar::layoutSubviews() {
    Rect b = bounds();
    double margin = 6, gap = 10;
    double fixed = 0;
    int flexible = 0;
    std::vector<double> widths(m_items.size(), 0);
    for (size_t i = 0; i < m_items.size(); ++i) {
        auto& item = m_items[i];
        if (item->systemItem() == BarButtonSystemItem::FlexibleSpace) {
            ++flexible;
            continue;
        }
        if (item->systemItem() == BarButtonSystemItem::FixedSpace)
            widths[i] = item->width();
        else if (auto* button = dynamic_cast<BarButtonView*>(m_itemViews[i].get()))
            widths[i] = button->sizeThatFits({}).width;
        else if (m_itemViews[i])
            widths[i] = m_itemViews[i]->frame().width();
        fixed += widths[i];
    }
    double gaps = m_items.empty() ? 0 : gap * double(m_items.size() - 1);
    double room = std::max(0.0, b.width() - 2 * margin - fixed - gaps);
    double flex = flexible ? room / flexible : 0;
    double x = margin + (flexible ? 0 : std::floor(room / 2));
    for (size_t i = 0; i < m_items.size(); ++i) {
        double width = m_items[i]->systemItem() == BarButtonSystemItem::FlexibleSpace ? flex : widths[i];
        if (View* view = m_itemViews[i].get()) {
            double height = dynamic_cast<BarButtonView*>(view) ? 30 : view->frame().height();
            view->setFrame(Rect(std::floor(x), std::floor((b.height() - height) / 2), width, height));
        }
        x += width + gap;
    }
}

void Toolbar::drawRect(graphics::Context& context, Rect) {
    Rect b = bounds();
    fillBarGradient(context, b, effectiveTint());
    context.setFillColor(darker(effectiveTint(), 0.5));
    context.fillRect(Rect(b.x(), b.y(), b.width(), 1));
}

} // namespace platform::views
