#include "platform/views/NavigationBar.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/Context.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/Label.h"
#include "platform/views/Screen.h"

namespace platform::views {

namespace {
constexpr Color kDefaultTint = Color::rgba(0.427, 0.518, 0.635);
}

NavigationBar::NavigationBar()
    : NavigationBar(Rect(0, 0, Screen::kWidth, kHeight)) { }

NavigationBar::NavigationBar(Rect frame)
    : View(frame)
    , m_titleLabel(std::make_shared<Label>()) {
    setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleBottomMargin);
    m_titleLabel->setFont(Font::boldSystemFontOfSize(20));
    m_titleLabel->setTextColor(Color::whiteColor());
    m_titleLabel->setShadowColor(Color::black().withAlpha(0.5));
    m_titleLabel->setShadowOffset({0, -1});
    m_titleLabel->setTextAlignment(TextAlignment::Center);
    m_titleLabel->setLineBreakMode(LineBreakMode::TailTruncation);
    m_titleLabel->setAdjustsFontSizeToFitWidth(true);
    m_titleLabel->setMinimumFontSize(14);
}

void NavigationBar::setTintColor(std::optional<Color> color) {
    m_tintColor = color;
    setNeedsLayout();
    setNeedsDisplay();
}

void NavigationBar::setBarStyle(BarStyle style) {
    m_barStyle = style;
    setNeedsLayout();
    setNeedsDisplay();
}

Color NavigationBar::effectiveTint() const {
    if (m_tintColor)
        return *m_tintColor;
    if (m_barStyle != BarStyle::Default)
        return Color::white(0.12);
    return kDefaultTint;
}

void NavigationBar::setItems(NavigationItem* top, NavigationItem* previous, std::function<void()> back) {
    m_top = top;
    m_previous = previous;
    m_back = std::move(back);
    observe();
    rebuild();
}

void NavigationBar::observe() {
    std::weak_ptr<View> weak = weak_from_this();
    m_observer = std::make_shared<BarButtonItem::Observer>([weak] {
        if (auto bar = std::static_pointer_cast<NavigationBar>(weak.lock())) {
            bar->rebuild();
        }
    });
    // Items drop observers whose owner is gone, so replacing m_observer unhooks the old items.
    for (NavigationItem* item : {m_top, m_previous}) {
        if (!item)
            continue;
        item->addObserver(m_observer);
        for (auto* button :
            {&item->leftBarButtonItem(), &item->rightBarButtonItem(), &item->backBarButtonItem()}) {
            if (*button)
                (*button)->addObserver(m_observer);
        }
    }
}

std::string NavigationBar::backButtonTitle() const {
    if (!m_previous)
        return "";
    if (m_previous->backBarButtonItem() && !m_previous->backBarButtonItem()->title().empty())
        return m_previous->backBarButtonItem()->title();
    if (!m_previous->title().empty())
        return m_previous->title();
    return "Back";
}

BarButtonView* NavigationBar::backButtonView() const {
    return m_leftView && m_leftView->kind() == BarButtonView::Kind::Back ? m_leftView.get() : nullptr;
}

void NavigationBar::rebuild() {
    for (auto* view :
        {static_cast<View*>(m_leftView.get()), static_cast<View*>(m_rightView.get()), m_leftCustom.get(),
            m_rightCustom.get(), m_titleView.get(), static_cast<View*>(m_titleLabel.get())}) {
        if (view)
            view->removeFromSuperview();
    }
    m_leftView.reset();
    m_rightView.reset();
    m_leftCustom.reset();
    m_rightCustom.reset();
    m_titleView.reset();
    if (!m_top) {
        setNeedsDisplay();
        return;
    }
    // Re-register so that items put on the bar since the last time are followed too.
    observe();
    Color tint = effectiveTint();
    auto makeItemView = [&](const std::shared_ptr<BarButtonItem>& item, std::shared_ptr<BarButtonView>& view,
                            std::shared_ptr<View>& custom) {
        if (!item)
            return;
        if (item->customView()) {
            custom = item->customView();
            addSubview(custom);
            return;
        }
        view = std::make_shared<BarButtonView>(item, BarButtonView::Kind::Item);
        view->setTint(tint);
        addSubview(view);
    };
    if (m_top->leftBarButtonItem()) {
        makeItemView(m_top->leftBarButtonItem(), m_leftView, m_leftCustom);
    } else if (m_previous && !m_top->hidesBackButton()) {
        std::weak_ptr<View> weak = weak_from_this();
        m_leftView = std::make_shared<BarButtonView>(backButtonTitle(), [weak] {
            if (auto bar = std::static_pointer_cast<NavigationBar>(weak.lock()); bar && bar->m_back) {
                auto back = bar->m_back;
                back();
            }
        });
        m_leftView->setTint(tint);
        addSubview(m_leftView);
    }
    makeItemView(m_top->rightBarButtonItem(), m_rightView, m_rightCustom);
    if (m_top->titleView()) {
        m_titleView = m_top->titleView();
        addSubview(m_titleView);
    } else {
        m_titleLabel->setText(m_top->title());
        addSubview(m_titleLabel);
    }
    setNeedsLayout();
    setNeedsDisplay();
}

void NavigationBar::layoutSubviews() {
    Rect b = bounds();
    double margin = 5;
    double left = margin, right = b.width() - margin;
    auto place = [&](View* view, bool atLeft) {
        if (!view)
            return;
        Size size = view->frame().size;
        if (auto* button = dynamic_cast<BarButtonView*>(view)) {
            button->setMaximumWidth(std::floor(b.width() / 2 - 40));
            size = button->sizeThatFits({});
        }
        double y = std::floor((b.height() - size.height) / 2);
        if (atLeft) {
            view->setFrame(Rect(left, y, size.width, size.height));
            left += size.width;
        } else {
            view->setFrame(Rect(right - size.width, y, size.width, size.height));
            right -= size.width;
        }
    };
    place(m_leftView ? static_cast<View*>(m_leftView.get()) : m_leftCustom.get(), true);
    place(m_rightView ? static_cast<View*>(m_rightView.get()) : m_rightCustom.get(), false);
    // The title centres on the bar when it can, else in the room between the buttons.
    double room = std::max(0.0, right - left - 10);
    if (m_titleView) {
        Size size = m_titleView->frame().size;
        size.width = std::min(size.width, room);
        double x
            = std::clamp(b.midX() - size.width / 2, left + 5, std::max(left + 5, right - 5 - size.width));
        m_titleView->setFrame(
            Rect(std::floor(x), std::floor((b.height() - size.height) / 2), size.width, size.height));
    } else if (m_titleLabel->superview() == this) {
        double width = std::min(m_titleLabel->sizeThatFits({}).width, room);
        double x = std::clamp(b.midX() - width / 2, left + 5, std::max(left + 5, right - 5 - width));
        m_titleLabel->setFrame(Rect(std::floor(x), 8, std::ceil(width), 27));
    }
}

bool NavigationBar::drawsOpaquely() const {
    return (m_barStyle != BarStyle::Default && !m_tintColor) || effectiveTint().alpha >= 1;
}

void NavigationBar::drawRect(graphics::Context& context, Rect) {
    Rect b = bounds();
    if (m_barStyle != BarStyle::Default && !m_tintColor) {
        fillVerticalGradient(context, b, Color::white(0.35), Color::white(0.05));
        context.setFillColor(Color::black());
        context.fillRect(Rect(b.x(), b.maxY() - 1, b.width(), 1));
        return;
    }
    fillBarGradient(context, b, effectiveTint());
    context.setFillColor(lighter(effectiveTint(), 0.5));
    context.fillRect(Rect(b.x(), b.y(), b.width(), 1));
    context.setFillColor(darker(effectiveTint(), 0.45));
    context.fillRect(Rect(b.x(), b.maxY() - 1, b.width(), 1));
}

} // namespace platform::views
