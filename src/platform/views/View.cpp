#include "platform/views/View.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <cxxabi.h>
#include <typeinfo>

#include "platform/base/RunLoop.h"
#include "platform/graphics/Context.h"
#include "platform/views/Touch.h"
#include "platform/views/Window.h"

namespace platform::views {

View::View() = default;

View::View(Rect frame)
    : m_frame(frame)
    , m_bounds(0, 0, frame.width(), frame.height()) { }

View::~View() {
    for (auto& subview : m_subviews)
        subview->m_superview = nullptr;
}

void View::setFrame(Rect frame) {
    Size oldSize = m_bounds.size;
    m_frame = frame;
    m_bounds.size = frame.size;
    if (oldSize != frame.size)
        resizeSubviews(oldSize);
}

void View::setBounds(Rect bounds) {
    Size oldSize = m_bounds.size;
    Point oldOrigin = m_bounds.origin;
    Point center = m_frame.center();
    m_bounds = bounds;
    if (oldSize != bounds.size) {
        m_frame = Rect(
            center.x - bounds.width() / 2, center.y - bounds.height() / 2, bounds.width(), bounds.height());
        resizeSubviews(oldSize);
    } else if (oldOrigin != bounds.origin) {
        m_needsLayout = true;
    }
}

void View::setCenter(Point center) {
    m_frame.origin = {center.x - m_frame.width() / 2, center.y - m_frame.height() / 2};
}

void View::setContentMode(ContentMode mode) {
    m_contentMode = mode;
    setNeedsDisplay();
}

void View::setHidden(bool hidden) {
    if (m_hidden == hidden)
        return;
    m_hidden = hidden;
    setNeedsDisplay();
}

void View::setAlpha(double alpha) {
    m_alpha = std::clamp(alpha, 0.0, 1.0);
}

void View::setBackgroundColor(std::optional<Color> color) {
    m_backgroundColor = color;
    setNeedsDisplay();
}

void View::setBackgroundPatternImage(graphics::Image image) {
    m_backgroundPattern = std::move(image);
    setNeedsDisplay();
}

void View::drawBackgroundPattern(graphics::Context& context) {
    Size tile = m_backgroundPattern.size();
    if (tile.width <= 0 || tile.height <= 0)
        return;
    Rect area = m_bounds;
    context.saveGState();
    context.clipToRect(area);
    double x0 = std::floor(area.minX() / tile.width) * tile.width;
    double y0 = std::floor(area.minY() / tile.height) * tile.height;
    for (double y = y0; y < area.maxY(); y += tile.height) {
        for (double x = x0; x < area.maxX(); x += tile.width)
            m_backgroundPattern.drawInRect(context, Rect(x, y, tile.width, tile.height));
    }
    context.restoreGState();
}

void View::resizeSubviews(Size oldSize) {
    if (m_autoresizesSubviews) {
        for (auto& subview : m_subviews)
            subview->applyAutoresizing(oldSize, m_bounds.size);
    }
    m_needsLayout = true;
    m_needsDisplay = true;
    boundsSizeDidChange(oldSize);
}

namespace {

// Shares `delta` among the flexible parts of one axis in proportion to their sizes (equally
// when they are all zero), as the phone does.
void distribute(
    double delta, bool flexLead, bool flexSize, bool flexTrail, double& lead, double& size, double trail) {
    double total = (flexLead ? lead : 0) + (flexSize ? size : 0) + (flexTrail ? trail : 0);
    int count = int(flexLead) + int(flexSize) + int(flexTrail);
    if (count == 0)
        return;
    auto share = [&](double part) { return total > 0 ? delta * part / total : delta / count; };
    double leadShare = flexLead ? share(lead) : 0;
    double sizeShare = flexSize ? share(size) : 0;
    lead += leadShare;
    size = std::max(0.0, size + sizeShare);
}

} // namespace

void View::applyAutoresizing(Size oldSuperSize, Size newSuperSize) {
    if (m_autoresizingMask == AutoresizingNone)
        return;
    Rect frame = m_frame;
    double x = frame.x(), w = frame.width();
    double y = frame.y(), h = frame.height();
    distribute(newSuperSize.width - oldSuperSize.width, m_autoresizingMask & AutoresizingFlexibleLeftMargin,
        m_autoresizingMask & AutoresizingFlexibleWidth, m_autoresizingMask & AutoresizingFlexibleRightMargin,
        x, w, oldSuperSize.width - x - w);
    distribute(newSuperSize.height - oldSuperSize.height, m_autoresizingMask & AutoresizingFlexibleTopMargin,
        m_autoresizingMask & AutoresizingFlexibleHeight,
        m_autoresizingMask & AutoresizingFlexibleBottomMargin, y, h, oldSuperSize.height - y - h);
    setFrame(Rect(x, y, w, h));
}

void View::attach(std::shared_ptr<View> view, size_t index) {
    if (!view || view.get() == this)
        return;
    Window* oldWindow = view->window();
    if (view->m_superview == this) {
        auto it = std::find(m_subviews.begin(), m_subviews.end(), view);
        size_t current = size_t(it - m_subviews.begin());
        m_subviews.erase(it);
        if (index > current)
            --index;
        m_subviews.insert(m_subviews.begin() + std::min(index, m_subviews.size()), view);
        return;
    }
    // Moving within one window keeps the keyboard with the view.
    if (view->m_superview)
        view->detachFromSuperview(window());
    m_subviews.insert(m_subviews.begin() + std::min(index, m_subviews.size()), view);
    view->m_superview = this;
    view->didMoveToSuperview();
    if (view->window() != oldWindow)
        view->notifyWindowChange();
    didAddSubview(view.get());
}

void View::addSubview(std::shared_ptr<View> view) {
    attach(std::move(view), m_subviews.size());
}

void View::insertSubview(std::shared_ptr<View> view, size_t index) {
    attach(std::move(view), index);
}

void View::insertSubviewAbove(std::shared_ptr<View> view, const View* sibling) {
    auto it = std::find_if(m_subviews.begin(), m_subviews.end(), [&](auto& v) { return v.get() == sibling; });
    attach(std::move(view), it == m_subviews.end() ? m_subviews.size() : size_t(it - m_subviews.begin()) + 1);
}

void View::insertSubviewBelow(std::shared_ptr<View> view, const View* sibling) {
    auto it = std::find_if(m_subviews.begin(), m_subviews.end(), [&](auto& v) { return v.get() == sibling; });
    attach(std::move(view), it == m_subviews.end() ? 0 : size_t(it - m_subviews.begin()));
}

void View::bringSubviewToFront(const View* view) {
    auto it = std::find_if(m_subviews.begin(), m_subviews.end(), [&](auto& v) { return v.get() == view; });
    if (it == m_subviews.end())
        return;
    auto keep = *it;
    m_subviews.erase(it);
    m_subviews.push_back(keep);
}

void View::sendSubviewToBack(const View* view) {
    auto it = std::find_if(m_subviews.begin(), m_subviews.end(), [&](auto& v) { return v.get() == view; });
    if (it == m_subviews.end())
        return;
    auto keep = *it;
    m_subviews.erase(it);
    m_subviews.insert(m_subviews.begin(), keep);
}

void View::detachFromSuperview(Window* staysIn) {
    View* parent = m_superview;
    if (!parent)
        return;
    Window* oldWindow = window();
    bool leaves = oldWindow && oldWindow != staysIn;
    // The superview may hold the only reference.
    auto keep = shared_from_this();
    // The keyboard cannot stay with a view that leaves the screen.
    if (leaves)
        endEditing(true);
    parent->willRemoveSubview(this);
    auto it = std::find(parent->m_subviews.begin(), parent->m_subviews.end(), keep);
    if (it != parent->m_subviews.end())
        parent->m_subviews.erase(it);
    m_superview = nullptr;
    didMoveToSuperview();
    if (leaves)
        notifyWindowChange();
}

void View::removeFromSuperview() {
    if (m_superview)
        detachFromSuperview();
}

void View::notifyWindowChange() {
    didMoveToWindow();
    for (auto& subview : std::vector<std::shared_ptr<View>>(m_subviews))
        subview->notifyWindowChange();
}

bool View::isDescendantOfView(const View* view) const {
    for (const View* v = this; v; v = v->m_superview) {
        if (v == view)
            return true;
    }
    return false;
}

View* View::viewWithTag(int tag) {
    if (m_tag == tag)
        return this;
    for (auto& subview : m_subviews) {
        if (View* found = subview->viewWithTag(tag))
            return found;
    }
    return nullptr;
}

Window* View::window() const {
    const View* top = this;
    while (top->m_superview)
        top = top->m_superview;
    return dynamic_cast<Window*>(const_cast<View*>(top));
}

void View::layoutIfNeeded() {
    if (m_needsLayout) {
        m_needsLayout = false;
        layoutSubviews();
    }
    // Layout may add or remove subviews; walk a copy.
    if (m_subviews.empty())
        return;
    auto subviews = m_subviews;
    for (auto& subview : subviews)
        subview->layoutIfNeeded();
}

void View::sizeToFit() {
    Size size = sizeThatFits(m_bounds.size);
    setFrame(Rect(m_frame.origin, size));
}

void View::setNeedsDisplay() {
    m_needsDisplay = true;
}

bool View::paintsFrameOpaquely() const {
    return !m_hidden && m_alpha >= 1
        && ((m_backgroundColor && m_backgroundColor->alpha >= 1) || drawsOpaquely());
}

namespace {

// The parts of `a` outside `b` (whole pixels both), at most four.
void subtract(Rect a, Rect b, std::vector<Rect>& out) {
    Rect overlap = a.intersection(b);
    if (overlap.isEmpty()) {
        out.push_back(a);
        return;
    }
    auto add = [&](double x0, double y0, double x1, double y1) {
        if (x1 > x0 && y1 > y0)
            out.push_back({x0, y0, x1 - x0, y1 - y0});
    };
    add(a.minX(), a.minY(), a.maxX(), overlap.minY());
    add(a.minX(), overlap.maxY(), a.maxX(), a.maxY());
    add(a.minX(), overlap.minY(), overlap.minX(), overlap.maxY());
    add(overlap.maxX(), overlap.minY(), a.maxX(), overlap.maxY());
}

// `r` in device pixels, for a transform without rotation.
Rect deviceRect(cairo_t* cr, Rect r) {
    double x0 = r.minX(), y0 = r.minY(), x1 = r.maxX(), y1 = r.maxY();
    cairo_user_to_device(cr, &x0, &y0);
    cairo_user_to_device(cr, &x1, &y1);
    return Rect {std::min(x0, x1), std::min(y0, y1), std::abs(x1 - x0), std::abs(y1 - y0)};
}

// The whole pixels inside `r`.
Rect pixelsWithin(Rect r) {
    double x0 = std::ceil(r.minX() - 1e-9), y0 = std::ceil(r.minY() - 1e-9);
    double x1 = std::floor(r.maxX() + 1e-9), y1 = std::floor(r.maxY() + 1e-9);
    return x1 > x0 && y1 > y0 ? Rect {x0, y0, x1 - x0, y1 - y0} : Rect {};
}

} // namespace

// The device pixels that opaque subviews will paint over whole, kept apart from each other;
// none when the drawing is rotated or the clip around the view cannot be told in pixels.
// Asked before the view clips to its own bounds: the pixels are inside those anyway.
std::vector<Rect> View::coveredPixels(graphics::Context& context) const {
    cairo_t* cr = context.cairo();
    cairo_matrix_t ctm;
    cairo_get_matrix(cr, &ctm);
    std::vector<Rect> covered;
    if (ctm.xy != 0 || ctm.yx != 0)
        return covered;
    const Rect device = deviceRect(cr, m_bounds);
    for (auto& subview : m_subviews) {
        if (!subview->paintsFrameOpaquely())
            continue;
        Rect frame {subview->m_frame.origin, subview->m_bounds.size};
        Rect whole = pixelsWithin(deviceRect(cr, frame).intersection(device));
        if (whole.isEmpty())
            continue;
        std::vector<Rect> pieces {whole};
        for (const Rect& earlier : covered) {
            std::vector<Rect> rest;
            for (const Rect& piece : pieces)
                subtract(piece, earlier, rest);
            pieces = std::move(rest);
        }
        covered.insert(covered.end(), pieces.begin(), pieces.end());
    }
    if (covered.empty() || !context.isClipped())
        return covered;
    // Where a clip cuts through a pixel, a subview paints it only partly: such pixels keep
    // the fill. A clip that is not whole rectangles keeps it everywhere.
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_rectangle_list_t* clip = cairo_copy_clip_rectangle_list(cr);
    cairo_restore(cr);
    std::vector<Rect> inside;
    if (clip->status == CAIRO_STATUS_SUCCESS) {
        for (int i = 0; i < clip->num_rectangles; ++i) {
            const cairo_rectangle_t& k = clip->rectangles[i];
            Rect whole = pixelsWithin({k.x, k.y, k.width, k.height});
            for (const Rect& c : covered) {
                if (Rect both = c.intersection(whole); !both.isEmpty())
                    inside.push_back(both);
            }
        }
    }
    cairo_rectangle_list_destroy(clip);
    return inside;
}

// The background colour, except on `covered`: a screen's views fill what lies beneath them,
// and filling millions of pixels nobody sees was a fifth of drawing a frame. Every other pixel
// comes out as a plain fill would leave it.
void View::fillBackground(graphics::Context& context, const std::vector<Rect>& covered) {
    context.setFillColor(*m_backgroundColor);
    if (covered.empty()) {
        context.fillRect(m_bounds);
        return;
    }
    cairo_t* cr = context.cairo();
    cairo_matrix_t ctm;
    cairo_get_matrix(cr, &ctm);
    const Rect device = deviceRect(cr, m_bounds);
    context.saveGState();
    cairo_new_path(cr);
    cairo_identity_matrix(cr);
    cairo_rectangle(cr, std::floor(device.minX()) - 1, std::floor(device.minY()) - 1,
        std::ceil(device.width()) + 3, std::ceil(device.height()) + 3);
    for (const Rect& c : covered)
        cairo_rectangle(cr, c.x(), c.y(), c.width(), c.height());
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_set_matrix(cr, &ctm);
    context.fillRect(m_bounds);
    context.restoreGState();
}

void View::renderInContext(graphics::Context& context) {
    if (m_hidden || m_alpha < 0.01)
        return;
    context.saveGState();
    // Alpha applies to the view and its subviews as one picture.
    bool layer = m_alpha < 1;
    if (layer)
        cairo_push_group(context.cairo());
    context.translateCTM(-m_bounds.x(), -m_bounds.y());
    const bool background = m_backgroundColor && m_backgroundColor->alpha > 0;
    const std::vector<Rect> covered = background ? coveredPixels(context) : std::vector<Rect> {};
    if (m_clipsToBounds)
        context.clipToRect(m_bounds);
    // A view paints only inside its own bounds, as on the phone; its subviews may reach
    // outside unless it clips them too.
    context.saveGState();
    if (!m_clipsToBounds && clipsDrawingToBounds())
        context.clipToRect(m_bounds);
    if (background)
        fillBackground(context, covered);
    if (m_backgroundPattern)
        drawBackgroundPattern(context);
    drawRect(context, m_bounds);
    context.restoreGState();
    m_needsDisplay = false;
    for (auto& subview : m_subviews) {
        if (subview->m_hidden || subview->m_alpha < 0.01)
            continue;
        Rect frame = subview->m_frame;
        // Views entirely outside a clipping view draw nothing.
        if (m_clipsToBounds && !frame.intersects(m_bounds))
            continue;
        context.saveGState();
        context.translateCTM(frame.x(), frame.y());
        subview->renderInContext(context);
        context.restoreGState();
    }
    drawOverlay(context, m_bounds);
    if (layer) {
        cairo_pop_group_to_source(context.cairo());
        cairo_paint_with_alpha(context.cairo(), m_alpha);
    }
    context.restoreGState();
}

View* View::hitTest(Point point) {
    if (m_hidden || !m_userInteractionEnabled || m_alpha < 0.01)
        return nullptr;
    if (!pointInside(point))
        return nullptr;
    for (auto it = m_subviews.rbegin(); it != m_subviews.rend(); ++it) {
        View* subview = it->get();
        Point local {point.x - subview->m_frame.x() + subview->m_bounds.x(),
            point.y - subview->m_frame.y() + subview->m_bounds.y()};
        if (View* hit = subview->hitTest(local))
            return hit;
    }
    return this;
}

bool View::pointInside(Point point) const {
    return m_bounds.contains(point);
}

Point View::offsetToWindow() const {
    Point offset;
    for (const View* v = this; v->m_superview; v = v->m_superview) {
        offset.x += v->m_frame.x() - v->m_bounds.x();
        offset.y += v->m_frame.y() - v->m_bounds.y();
    }
    return offset;
}

Point View::convertPointToView(Point point, const View* view) const {
    Point o = offsetToWindow();
    Point w {point.x + o.x, point.y + o.y};
    if (!view)
        return w;
    Point t = view->offsetToWindow();
    return {w.x - t.x, w.y - t.y};
}

Point View::convertPointFromView(Point point, const View* view) const {
    Point w = view ? view->convertPointToView(point, nullptr) : point;
    Point o = offsetToWindow();
    return {w.x - o.x, w.y - o.y};
}

Rect View::convertRectToView(Rect rect, const View* view) const {
    return Rect(convertPointToView(rect.origin, view), rect.size);
}

Rect View::convertRectFromView(Rect rect, const View* view) const {
    return Rect(convertPointFromView(rect.origin, view), rect.size);
}

void View::touchesBegan(Touch& touch) {
    if (m_superview)
        m_superview->touchesBegan(touch);
}

void View::touchesMoved(Touch& touch) {
    if (m_superview)
        m_superview->touchesMoved(touch);
}

void View::touchesEnded(Touch& touch) {
    if (m_superview)
        m_superview->touchesEnded(touch);
}

void View::touchesCancelled(Touch& touch) {
    if (m_superview)
        m_superview->touchesCancelled(touch);
}

bool View::becomeFirstResponder() {
    if (!canBecomeFirstResponder())
        return false;
    Window* w = window();
    if (!w)
        return false;
    return w->makeFirstResponder(this);
}

bool View::resignFirstResponder() {
    if (!canResignFirstResponder())
        return false;
    Window* w = window();
    if (w && w->firstResponder() == this)
        w->clearFirstResponder(this);
    return true;
}

bool View::isFirstResponder() const {
    Window* w = window();
    return w && w->firstResponder() == this;
}

bool View::endEditing(bool force) {
    Window* w = window();
    if (!w)
        return true;
    View* responder = w->firstResponder();
    if (!responder || !responder->isDescendantOfView(this))
        return true;
    if (responder->resignFirstResponder())
        return true;
    if (force) {
        w->clearFirstResponder(responder);
        return true;
    }
    return false;
}

std::string View::className() const {
    int status = 0;
    const char* mangled = typeid(*this).name();
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && demangled ? demangled : mangled;
    std::free(demangled);
    auto colon = name.rfind("::");
    if (colon != std::string::npos)
        name = name.substr(colon + 2);
    return name;
}

std::string View::description() const {
    auto n = [](double v) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%g", v);
        return std::string(buffer);
    };
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    std::string text = "<" + className() + ": " + address + "; frame = (" + n(m_frame.x()) + " "
        + n(m_frame.y()) + "; " + n(m_frame.width()) + " " + n(m_frame.height()) + ")";
    if (m_tag != 0)
        text += "; tag = " + std::to_string(m_tag);
    if (m_hidden)
        text += "; hidden = YES";
    return text + ">";
}

void View::animate(
    double duration, const std::function<void()>& changes, std::function<void(bool)> completion) {
    animate(duration, AnimationCurve::EaseInOut, changes, std::move(completion));
}

void View::animate(
    double, AnimationCurve, const std::function<void()>& changes, std::function<void(bool)> completion) {
    if (changes)
        changes();
    if (completion)
        platform::dispatchToMain([completion = std::move(completion)] { completion(true); });
}

} // namespace platform::views
