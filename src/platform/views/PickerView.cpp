#include "platform/views/PickerView.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/Context.h"
#include "platform/graphics/Font.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/Screen.h"
#include "platform/views/Touch.h"

namespace platform::views {

namespace {
constexpr double kFrameInset = 8;
}

PickerView::PickerView()
    : PickerView(Rect(0, 0, Screen::kWidth, kHeight)) { }

PickerView::PickerView(Rect frame)
    : View(Rect(frame.origin, {frame.width() > 0 ? frame.width() : Screen::kWidth, kHeight})) {
    setClipsToBounds(true);
}

void PickerView::setDataSource(std::weak_ptr<PickerViewDataSource> dataSource) {
    m_dataSource = std::move(dataSource);
    reloadAllComponents();
}

void PickerView::setDelegate(std::weak_ptr<PickerViewDelegate> delegate) {
    m_delegate = std::move(delegate);
    setNeedsDisplay();
}

void PickerView::setShowsSelectionIndicator(bool shows) {
    m_showsSelectionIndicator = shows;
    setNeedsDisplay();
}

void PickerView::syncWheels() {
    auto dataSource = m_dataSource.lock();
    int components = dataSource ? std::max(0, dataSource->numberOfComponentsInPickerView(*this)) : 0;
    m_wheels.resize(components);
    for (int c = 0; c < components; ++c) {
        Wheel& wheel = m_wheels[c];
        wheel.rows = std::max(0, dataSource->numberOfRowsInComponent(*this, c));
        if (wheel.selected >= wheel.rows)
            wheel.selected = wheel.rows - 1;
        wheel.position = std::max(0, wheel.selected);
    }
}

void PickerView::reloadAllComponents() {
    syncWheels();
    setNeedsDisplay();
}

void PickerView::reloadComponent(int) {
    reloadAllComponents();
}

int PickerView::numberOfComponents() const {
    return int(m_wheels.size());
}

int PickerView::numberOfRowsInComponent(int component) const {
    return component >= 0 && component < int(m_wheels.size()) ? m_wheels[component].rows : 0;
}

int PickerView::selectedRowInComponent(int component) const {
    return component >= 0 && component < int(m_wheels.size()) ? m_wheels[component].selected : -1;
}

void PickerView::selectRow(int row, int component, bool) {
    if (component < 0 || component >= int(m_wheels.size()))
        return;
    Wheel& wheel = m_wheels[component];
    if (row < 0 || row >= wheel.rows) {
        wheel.selected = -1;
        setNeedsDisplay();
        return;
    }
    wheel.selected = row;
    wheel.position = row;
    setNeedsDisplay();
}

double PickerView::rowHeight(int component) const {
    auto delegate = m_delegate.lock();
    double h = delegate ? delegate->rowHeightForComponent(const_cast<PickerView&>(*this), component) : 44;
    return h > 0 ? h : 44;
}

Rect PickerView::rectForComponent(int component) const {
    Rect inner = bounds().insetBy(kFrameInset + 8, kFrameInset);
    int count = std::max(1, int(m_wheels.size()));
    auto delegate = m_delegate.lock();
    std::vector<double> widths(count, 0);
    double fixed = 0;
    int flexible = 0;
    for (int c = 0; c < count; ++c) {
        double w = delegate && c < int(m_wheels.size())
            ? delegate->widthForComponent(const_cast<PickerView&>(*this), c)
            : 0;
        widths[c] = w;
        if (w > 0)
            fixed += w;
        else
            ++flexible;
    }
    double gap = 4;
    double room = inner.width() - fixed - gap * (count - 1);
    double x = inner.x();
    for (int c = 0; c < count; ++c) {
        double w = widths[c] > 0 ? widths[c] : (flexible ? room / flexible : 0);
        if (c == component)
            return Rect(x, inner.y(), w, inner.height());
        x += w + gap;
    }
    return Rect();
}

Rect PickerView::selectionBandRect() const {
    double h = rowHeight(0);
    Rect b = bounds();
    return Rect(b.x() + kFrameInset, std::floor(b.midY() - h / 2), b.width() - 2 * kFrameInset, h);
}

Rect PickerView::rectForRow(int row, int component) const {
    if (component < 0 || component >= int(m_wheels.size()))
        return Rect();
    Rect wheel = rectForComponent(component);
    double h = rowHeight(component);
    double y = bounds().midY() - h / 2 + (row - m_wheels[component].position) * h;
    return Rect(wheel.x(), y, wheel.width(), h);
}

void PickerView::drawRect(graphics::Context& context, Rect) {
    Rect b = bounds();
    // The frame around the wheels.
    fillVerticalGradient(context, b, Color::fromHex(0x5D6170), Color::fromHex(0x292B33));
    graphics::Font font = graphics::Font::boldSystemFontOfSize(20);
    auto delegate = m_delegate.lock();
    for (int c = 0; c < int(m_wheels.size()); ++c) {
        Rect wheel = rectForComponent(c);
        context.saveGState();
        context.clipToRect(wheel);
        // The wheel is lit in the middle and shaded towards its ends.
        graphics::Gradient shade {{{0, Color::white(0.55)}, {0.25, Color::white(0.97)},
            {0.5, Color::whiteColor()}, {0.75, Color::white(0.97)}, {1, Color::white(0.55)}}};
        context.drawLinearGradient(shade, {0, wheel.minY()}, {0, wheel.maxY()});
        const Wheel& w = m_wheels[c];
        double h = rowHeight(c);
        int first = std::max(0, int(std::floor(w.position - (b.height() / 2) / h)) - 1);
        int last = std::min(w.rows - 1, int(std::ceil(w.position + (b.height() / 2) / h)) + 1);
        for (int row = first; row <= last; ++row) {
            Rect r = rectForRow(row, c);
            std::string title = delegate ? delegate->titleForRow(*this, row, c) : std::string();
            double lineHeight = std::ceil(font.lineHeight());
            context.setFillColor(Color::black());
            context.drawText(title,
                Rect(r.x() + 10, std::floor(r.midY() - lineHeight / 2), r.width() - 20, lineHeight), font,
                LineBreakMode::TailTruncation, TextAlignment::Left);
        }
        context.restoreGState();
        context.setStrokeColor(Color::black().withAlpha(0.6));
        context.strokeRectWithWidth(wheel.insetBy(-0.5, -0.5), 1);
    }
    if (m_showsSelectionIndicator) {
        Rect band = selectionBandRect();
        context.saveGState();
        addRoundedRectPath(context, band, 3);
        context.clip();
        fillVerticalGradient(
            context, band, Color::rgba(0.78, 0.82, 0.95, 0.45), Color::rgba(0.45, 0.52, 0.78, 0.45));
        context.restoreGState();
        addRoundedRectPath(context, band.insetBy(0.5, 0.5), 3);
        context.setStrokeColor(Color::rgba(0.35, 0.40, 0.55, 0.8));
        context.setLineWidth(1);
        context.strokePath();
    }
}

int PickerView::componentAt(Point point) const {
    for (int c = 0; c < int(m_wheels.size()); ++c) {
        Rect r = rectForComponent(c);
        if (point.x >= r.minX() && point.x < r.maxX())
            return c;
    }
    return -1;
}

void PickerView::settle(int component, int row, bool notify) {
    Wheel& wheel = m_wheels[component];
    if (wheel.rows == 0)
        return;
    row = std::clamp(row, 0, wheel.rows - 1);
    wheel.position = row;
    wheel.selected = row;
    setNeedsDisplay();
    if (auto delegate = m_delegate.lock(); notify && delegate)
        delegate->didSelectRow(*this, row, component);
}

void PickerView::touchesBegan(Touch& touch) {
    m_trackingComponent = componentAt(touch.locationInView(this));
    if (m_trackingComponent >= 0)
        m_trackingStartPosition = m_wheels[m_trackingComponent].position;
}

void PickerView::touchesMoved(Touch& touch) {
    if (m_trackingComponent < 0)
        return;
    Wheel& wheel = m_wheels[m_trackingComponent];
    double dy = touch.windowLocation().y - touch.startLocation().y;
    double h = rowHeight(m_trackingComponent);
    wheel.position = std::clamp(m_trackingStartPosition - dy / h, -0.5, std::max(0.0, wheel.rows - 0.5));
    setNeedsDisplay();
}

void PickerView::touchesEnded(Touch& touch) {
    int component = m_trackingComponent;
    m_trackingComponent = -1;
    if (component < 0 || component >= int(m_wheels.size()))
        return;
    auto keep = shared_from_this();
    if (touch.hasMovedFar()) {
        settle(component, int(std::lround(m_wheels[component].position)), true);
        return;
    }
    // A tap turns the wheel to the row under the finger.
    Point p = touch.locationInView(this);
    double h = rowHeight(component);
    double offset = (p.y - bounds().midY()) / h;
    int row = int(std::lround(m_wheels[component].position + offset));
    if (row >= 0 && row < m_wheels[component].rows)
        settle(component, row, true);
}

void PickerView::touchesCancelled(Touch&) {
    if (m_trackingComponent >= 0 && m_trackingComponent < int(m_wheels.size())) {
        Wheel& wheel = m_wheels[m_trackingComponent];
        wheel.position = std::max(0, wheel.selected);
    }
    m_trackingComponent = -1;
    setNeedsDisplay();
}

} // namespace platform::views
