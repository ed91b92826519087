#include "platform/graphics/Context.h"

#include "platform/graphics/Image.h"
#include "platform/graphics/ShadowBlur.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::graphics {

namespace {

bool finite(double v) {
    return std::isfinite(v);
}
bool finite(Rect r) {
    return finite(r.origin.x) && finite(r.origin.y) && finite(r.size.width) && finite(r.size.height);
}

// A drawing step that must not disturb the current path (the phone keeps the path across
// rect shortcuts that say so, and text drawing never touches it).
class PathKeeper {
public:
    explicit PathKeeper(cairo_t* cr)
        : m_cairo(cr) {
        if (cairo_has_current_point(cr))
            m_path = cairo_copy_path(cr);
        cairo_new_path(cr);
    }
    ~PathKeeper() {
        cairo_new_path(m_cairo);
        if (m_path) {
            cairo_append_path(m_cairo, m_path);
            cairo_path_destroy(m_path);
        }
    }
    PathKeeper(const PathKeeper&) = delete;
    PathKeeper& operator=(const PathKeeper&) = delete;

private:
    cairo_t* m_cairo;
    cairo_path_t* m_path {nullptr};
};

void setSourceColor(cairo_t* cr, const Color& color, double alpha) {
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, std::clamp(color.alpha * alpha, 0.0, 1.0));
}

} // namespace

Context::Context(cairo_surface_t* surface, double scale)
    : m_surface(cairo_surface_reference(surface))
    , m_scale(finite(scale) && scale > 0 ? scale : 1) {
    m_cairo = cairo_create(m_surface);
    cairo_scale(m_cairo, m_scale, m_scale);
    cairo_set_line_width(m_cairo, 1);
    cairo_set_line_cap(m_cairo, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(m_cairo, CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(m_cairo, 10);
    cairo_set_tolerance(m_cairo, 0.1);
}

Context::~Context() {
    cairo_destroy(m_cairo);
    cairo_surface_destroy(m_surface);
}

Size Context::size() const {
    if (cairo_surface_get_type(m_surface) != CAIRO_SURFACE_TYPE_IMAGE)
        return {};
    return {cairo_image_surface_get_width(m_surface) / m_scale,
        cairo_image_surface_get_height(m_surface) / m_scale};
}

// --- Graphics state

void Context::saveGState() {
    cairo_save(m_cairo);
    m_states.push_back(m_states.back());
}

void Context::restoreGState() {
    if (m_states.size() <= 1)
        return;
    cairo_restore(m_cairo);
    m_states.pop_back();
}

// --- Transform

void Context::translateCTM(double tx, double ty) {
    if (finite(tx) && finite(ty))
        cairo_translate(m_cairo, tx, ty);
}

void Context::scaleCTM(double sx, double sy) {
    // A singular transform would put Cairo into a permanent error state.
    if (finite(sx) && finite(sy) && sx != 0 && sy != 0)
        cairo_scale(m_cairo, sx, sy);
}

void Context::rotateCTM(double radians) {
    if (finite(radians))
        cairo_rotate(m_cairo, radians);
}

void Context::concatCTM(const AffineTransform& t) {
    double det = t.a * t.d - t.b * t.c;
    if (!finite(det) || det == 0 || !finite(t.tx) || !finite(t.ty))
        return;
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    cairo_transform(m_cairo, &m);
}

AffineTransform Context::getCTM() const {
    cairo_matrix_t m;
    cairo_get_matrix(m_cairo, &m);
    double s = m_scale;
    return {m.xx / s, m.yx / s, m.xy / s, m.yy / s, m.x0 / s, m.y0 / s};
}

Point Context::convertToBase(Point p) const {
    return getCTM().apply(p);
}

// --- Paths

void Context::beginPath() {
    cairo_new_path(m_cairo);
}

void Context::moveToPoint(double x, double y) {
    if (finite(x) && finite(y))
        cairo_move_to(m_cairo, x, y);
}

void Context::addLineToPoint(double x, double y) {
    if (!finite(x) || !finite(y))
        return;
    if (cairo_has_current_point(m_cairo))
        cairo_line_to(m_cairo, x, y);
    else
        cairo_move_to(m_cairo, x, y);
}

void Context::addArc(double x, double y, double radius, double startAngle, double endAngle, int clockwise) {
    if (!finite(x) || !finite(y) || !finite(radius) || !finite(startAngle) || !finite(endAngle))
        return;
    radius = std::abs(radius);
    if (clockwise)
        cairo_arc_negative(m_cairo, x, y, radius, startAngle, endAngle);
    else
        cairo_arc(m_cairo, x, y, radius, startAngle, endAngle);
}

void Context::addArcToPoint(double x1, double y1, double x2, double y2, double radius) {
    if (!finite(x1) || !finite(y1) || !finite(x2) || !finite(y2) || !finite(radius))
        return;
    if (!cairo_has_current_point(m_cairo)) {
        cairo_move_to(m_cairo, x1, y1);
        return;
    }
    double x0, y0;
    cairo_get_current_point(m_cairo, &x0, &y0);
    // Unit vectors from the corner towards both neighbours.
    double ax = x0 - x1, ay = y0 - y1, bx = x2 - x1, by = y2 - y1;
    double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
    double cross = ax * by - ay * bx;
    if (radius <= 0 || la == 0 || lb == 0 || std::abs(cross) < 1e-9 * la * lb) {
        cairo_line_to(m_cairo, x1, y1);
        return;
    }
    ax /= la, ay /= la, bx /= lb, by /= lb;
    double cosTheta = std::clamp(ax * bx + ay * by, -1.0, 1.0);
    double theta = std::acos(cosTheta); // angle at the corner
    double tangentDistance = radius / std::tan(theta / 2);
    Point t0 {x1 + ax * tangentDistance, y1 + ay * tangentDistance};
    Point t1 {x1 + bx * tangentDistance, y1 + by * tangentDistance};
    // The centre lies along the bisector, at radius / sin(theta / 2) from the corner.
    double mx = ax + bx, my = ay + by;
    double ml = std::hypot(mx, my);
    double centreDistance = radius / std::sin(theta / 2);
    Point c {x1 + mx / ml * centreDistance, y1 + my / ml * centreDistance};
    double start = std::atan2(t0.y - c.y, t0.x - c.x);
    double end = std::atan2(t1.y - c.y, t1.x - c.x);
    cairo_line_to(m_cairo, t0.x, t0.y);
    // The turn from the first line to the second decides the sweep direction.
    if (cross < 0)
        cairo_arc(m_cairo, c.x, c.y, radius, start, end);
    else
        cairo_arc_negative(m_cairo, c.x, c.y, radius, start, end);
}

void Context::addCurveToPoint(double cp1x, double cp1y, double cp2x, double cp2y, double x, double y) {
    if (!finite(cp1x) || !finite(cp1y) || !finite(cp2x) || !finite(cp2y) || !finite(x) || !finite(y))
        return;
    if (!cairo_has_current_point(m_cairo))
        cairo_move_to(m_cairo, cp1x, cp1y);
    cairo_curve_to(m_cairo, cp1x, cp1y, cp2x, cp2y, x, y);
}

void Context::addQuadCurveToPoint(double cpx, double cpy, double x, double y) {
    if (!finite(cpx) || !finite(cpy) || !finite(x) || !finite(y))
        return;
    if (!cairo_has_current_point(m_cairo))
        cairo_move_to(m_cairo, cpx, cpy);
    double x0, y0;
    cairo_get_current_point(m_cairo, &x0, &y0);
    cairo_curve_to(m_cairo, x0 + 2.0 / 3 * (cpx - x0), y0 + 2.0 / 3 * (cpy - y0), x + 2.0 / 3 * (cpx - x),
        y + 2.0 / 3 * (cpy - y), x, y);
}

void Context::addEllipseInRect(Rect rect) {
    if (!finite(rect))
        return;
    rect = rect.standardized();
    double rx = rect.width() / 2, ry = rect.height() / 2;
    double cx = rect.midX(), cy = rect.midY();
    // Four Bézier quarters starting at the rightmost point, clockwise on screen, closed.
    const double k = 0.5522847498307936;
    cairo_move_to(m_cairo, cx + rx, cy);
    cairo_curve_to(m_cairo, cx + rx, cy + k * ry, cx + k * rx, cy + ry, cx, cy + ry);
    cairo_curve_to(m_cairo, cx - k * rx, cy + ry, cx - rx, cy + k * ry, cx - rx, cy);
    cairo_curve_to(m_cairo, cx - rx, cy - k * ry, cx - k * rx, cy - ry, cx, cy - ry);
    cairo_curve_to(m_cairo, cx + k * rx, cy - ry, cx + rx, cy - k * ry, cx + rx, cy);
    cairo_close_path(m_cairo);
}

void Context::addRect(Rect rect) {
    if (finite(rect))
        cairo_rectangle(m_cairo, rect.x(), rect.y(), rect.width(), rect.height());
}

void Context::closePath() {
    if (cairo_has_current_point(m_cairo))
        cairo_close_path(m_cairo);
}

bool Context::isPathEmpty() const {
    return !cairo_has_current_point(m_cairo);
}

Point Context::currentPoint() const {
    double x = 0, y = 0;
    if (cairo_has_current_point(m_cairo))
        cairo_get_current_point(m_cairo, &x, &y);
    return {x, y};
}

Rect Context::pathBoundingBox() const {
    double x1, y1, x2, y2;
    cairo_path_extents(m_cairo, &x1, &y1, &x2, &y2);
    return {x1, y1, x2 - x1, y2 - y1};
}

// --- Line attributes

void Context::setLineWidth(double width) {
    if (finite(width))
        cairo_set_line_width(m_cairo, std::max(0.0, width));
}

void Context::setLineCap(LineCap cap) {
    cairo_set_line_cap(m_cairo,
        cap == LineCap::Round        ? CAIRO_LINE_CAP_ROUND
            : cap == LineCap::Square ? CAIRO_LINE_CAP_SQUARE
                                     : CAIRO_LINE_CAP_BUTT);
}

void Context::setLineJoin(LineJoin join) {
    cairo_set_line_join(m_cairo,
        join == LineJoin::Round       ? CAIRO_LINE_JOIN_ROUND
            : join == LineJoin::Bevel ? CAIRO_LINE_JOIN_BEVEL
                                      : CAIRO_LINE_JOIN_MITER);
}

void Context::setMiterLimit(double limit) {
    if (finite(limit))
        cairo_set_miter_limit(m_cairo, std::max(1.0, limit));
}

void Context::setLineDash(double phase, const std::vector<double>& lengths) {
    // Cairo refuses negative lengths and all-zero patterns by failing the whole context;
    // such patterns mean "no dash" here.
    bool usable = !lengths.empty() && finite(phase);
    double total = 0;
    for (double length : lengths) {
        if (!finite(length) || length < 0)
            usable = false;
        else
            total += length;
    }
    if (!usable || total <= 0)
        cairo_set_dash(m_cairo, nullptr, 0, 0);
    else
        cairo_set_dash(m_cairo, lengths.data(), static_cast<int>(lengths.size()), phase);
}

void Context::setFlatness(double flatness) {
    if (finite(flatness) && flatness > 0)
        cairo_set_tolerance(m_cairo, std::max(0.01, flatness));
}

void Context::setShouldAntialias(bool antialias) {
    cairo_set_antialias(m_cairo, antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void Context::setInterpolationQuality(InterpolationQuality quality) {
    m_states.back().interpolation = quality;
}

InterpolationQuality Context::interpolationQuality() const {
    return m_states.back().interpolation;
}

// --- Colours

void Context::setFillColor(const Color& color) {
    m_states.back().fill = color;
}

void Context::setStrokeColor(const Color& color) {
    m_states.back().stroke = color;
}

Color Context::fillColor() const {
    return m_states.back().fill;
}

Color Context::strokeColor() const {
    return m_states.back().stroke;
}

void Context::setAlpha(double alpha) {
    if (finite(alpha))
        m_states.back().alpha = std::clamp(alpha, 0.0, 1.0);
}

double Context::alpha() const {
    return m_states.back().alpha;
}

void Context::setSource(const Color& color) {
    setSourceColor(m_cairo, color, m_states.back().alpha);
}

// --- Painting

void Context::drawPath(PathDrawingMode mode) {
    if (!cairo_has_current_point(m_cairo)) {
        cairo_new_path(m_cairo);
        return;
    }
    const bool fill = mode != PathDrawingMode::Stroke;
    const bool stroke = mode == PathDrawingMode::Stroke || mode == PathDrawingMode::FillStroke
        || mode == PathDrawingMode::EOFillStroke;
    const bool evenOdd = mode == PathDrawingMode::EOFill || mode == PathDrawingMode::EOFillStroke;
    const State& state = m_states.back();
    cairo_set_fill_rule(m_cairo, evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);

    Rect bounds;
    if (state.shadowSet) {
        double x1, y1, x2, y2;
        if (stroke)
            cairo_stroke_extents(m_cairo, &x1, &y1, &x2, &y2);
        else
            cairo_fill_extents(m_cairo, &x1, &y1, &x2, &y2);
        bounds = userToDevice({x1, y1, x2 - x1, y2 - y1});
    }
    const double alpha = state.alpha;
    const Color fillColor = state.fill, strokeColor = state.stroke;
    paintWithShadow(bounds, [&](cairo_t* cr) {
        if (fill) {
            setSourceColor(cr, fillColor, alpha);
            cairo_fill_preserve(cr);
        }
        if (stroke) {
            setSourceColor(cr, strokeColor, alpha);
            cairo_stroke_preserve(cr);
        }
    });
    cairo_new_path(m_cairo);
    cairo_set_fill_rule(m_cairo, CAIRO_FILL_RULE_WINDING);
}

void Context::fillPath() {
    drawPath(PathDrawingMode::Fill);
}

void Context::eoFillPath() {
    drawPath(PathDrawingMode::EOFill);
}

void Context::strokePath() {
    drawPath(PathDrawingMode::Stroke);
}

void Context::fillRect(Rect rect) {
    cairo_new_path(m_cairo);
    addRect(rect);
    drawPath(PathDrawingMode::Fill);
}

void Context::strokeRect(Rect rect) {
    cairo_new_path(m_cairo);
    addRect(rect);
    drawPath(PathDrawingMode::Stroke);
}

void Context::strokeRectWithWidth(Rect rect, double width) {
    cairo_save(m_cairo);
    setLineWidth(width);
    strokeRect(rect);
    cairo_restore(m_cairo);
}

void Context::clearRect(Rect rect) {
    if (!finite(rect))
        return;
    PathKeeper keeper(m_cairo);
    cairo_save(m_cairo);
    cairo_set_operator(m_cairo, CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(m_cairo, rect.x(), rect.y(), rect.width(), rect.height());
    cairo_fill(m_cairo);
    cairo_restore(m_cairo);
}

void Context::fillEllipseInRect(Rect rect) {
    cairo_new_path(m_cairo);
    addEllipseInRect(rect);
    drawPath(PathDrawingMode::Fill);
}

void Context::strokeEllipseInRect(Rect rect) {
    cairo_new_path(m_cairo);
    addEllipseInRect(rect);
    drawPath(PathDrawingMode::Stroke);
}

void Context::strokeLineSegments(const std::vector<Point>& points) {
    cairo_new_path(m_cairo);
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
        moveToPoint(points[i].x, points[i].y);
        addLineToPoint(points[i + 1].x, points[i + 1].y);
    }
    drawPath(PathDrawingMode::Stroke);
}

// --- Clipping

void Context::clip() {
    m_states.back().clipped = true;
    cairo_set_fill_rule(m_cairo, CAIRO_FILL_RULE_WINDING);
    cairo_clip(m_cairo);
}

void Context::eoClip() {
    m_states.back().clipped = true;
    cairo_set_fill_rule(m_cairo, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(m_cairo);
    cairo_set_fill_rule(m_cairo, CAIRO_FILL_RULE_WINDING);
}

void Context::clipToRect(Rect rect) {
    if (!finite(rect))
        return;
    PathKeeper keeper(m_cairo);
    rect = rect.standardized();
    m_states.back().clipped = true;
    cairo_rectangle(m_cairo, rect.x(), rect.y(), rect.width(), rect.height());
    cairo_clip(m_cairo);
}

Rect Context::clipBoundingBox() const {
    double x1, y1, x2, y2;
    cairo_clip_extents(m_cairo, &x1, &y1, &x2, &y2);
    return {x1, y1, x2 - x1, y2 - y1};
}

// --- Gradients

void Context::drawLinearGradient(const Gradient& gradient, Point start, Point end, unsigned options) {
    if (gradient.stops.empty() || !finite(start.x) || !finite(start.y) || !finite(end.x) || !finite(end.y))
        return;
    double dx = end.x - start.x, dy = end.y - start.y;
    double length = std::hypot(dx, dy);
    if (length == 0)
        return; // no direction: nothing to draw between the ends

    PathKeeper keeper(m_cairo);
    cairo_save(m_cairo);
    // Outside the ends a gradient paints nothing unless asked to extend; clip to the band
    // between the two perpendiculars through the ends, open on the extended sides.
    const bool before = options & GradientDrawsBeforeStartLocation;
    const bool after = options & GradientDrawsAfterEndLocation;
    if (!before || !after) {
        double ux = dx / length, uy = dy / length; // along
        double px = -uy, py = ux; // across
        const double far = 1e5;
        double t0 = before ? -far : 0;
        double t1 = after ? length + far : length;
        auto corner = [&](double t, double s) {
            cairo_line_to(m_cairo, start.x + ux * t + px * s, start.y + uy * t + py * s);
        };
        cairo_new_path(m_cairo);
        cairo_move_to(m_cairo, start.x + ux * t0 - px * far, start.y + uy * t0 - py * far);
        corner(t1, -far);
        corner(t1, far);
        corner(t0, far);
        cairo_close_path(m_cairo);
        cairo_clip(m_cairo);
    }
    cairo_pattern_t* pattern = cairo_pattern_create_linear(start.x, start.y, end.x, end.y);
    const double alpha = m_states.back().alpha;
    for (const GradientStop& stop : gradient.stops) {
        const Color& c = stop.color;
        cairo_pattern_add_color_stop_rgba(pattern,
            std::clamp(finite(stop.location) ? stop.location : 0, 0.0, 1.0), c.red, c.green, c.blue,
            std::clamp(c.alpha * alpha, 0.0, 1.0));
    }
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_set_source(m_cairo, pattern);
    cairo_paint(m_cairo);
    cairo_pattern_destroy(pattern);
    cairo_restore(m_cairo);
}

// --- Shadows

void Context::setShadow(Size offset, double blur) {
    setShadowWithColor(offset, blur, Color::rgba(0, 0, 0, 1.0 / 3));
}

void Context::setShadowWithColor(Size offset, double blur, const Color& color) {
    State& state = m_states.back();
    if (!finite(offset.width) || !finite(offset.height) || !finite(blur) || color.alpha <= 0) {
        state.shadowSet = false;
        return;
    }
    state.shadowSet = true;
    state.shadowOffset = offset;
    state.shadowBlur = std::max(0.0, blur);
    state.shadowColor = color;
}

void Context::clearShadow() {
    m_states.back().shadowSet = false;
}

Rect Context::userToDevice(Rect r) const {
    double xs[4] = {r.minX(), r.maxX(), r.minX(), r.maxX()};
    double ys[4] = {r.minY(), r.minY(), r.maxY(), r.maxY()};
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (int i = 0; i < 4; ++i) {
        double x = xs[i], y = ys[i];
        cairo_user_to_device(m_cairo, &x, &y);
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect Context::deviceClipExtents() const {
    cairo_save(m_cairo);
    cairo_identity_matrix(m_cairo);
    double x1, y1, x2, y2;
    cairo_clip_extents(m_cairo, &x1, &y1, &x2, &y2);
    cairo_restore(m_cairo);
    return {x1, y1, x2 - x1, y2 - y1};
}

void Context::castShadow(Rect deviceBounds, void (*paint)(cairo_t*, const void*), const void* data) {
    const State& state = m_states.back();
    if (!finite(deviceBounds) || deviceBounds.isEmpty())
        return;
    const ShadowBlur blur(state.shadowBlur * m_scale);
    const double offsetX = state.shadowOffset.width * m_scale;
    const double offsetY = state.shadowOffset.height * m_scale;
    const double margin = blur.extent() + 1;

    // The mask covers the shape plus the blur's reach, limited to what can land in the
    // clip once offset. The shape itself may lie outside the target.
    Rect shape = deviceBounds.insetBy(-margin, -margin);
    Rect visible = deviceClipExtents().offsetBy(-offsetX, -offsetY).insetBy(-margin, -margin);
    Rect area = shape.intersection(visible).integral();
    if (area.isEmpty() || area.width() * area.height() > 64e6)
        return;

    const int width = static_cast<int>(area.width()), height = static_cast<int>(area.height());
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
    cairo_t* cr = cairo_create(mask);
    cairo_matrix_t matrix;
    cairo_get_matrix(m_cairo, &matrix);
    cairo_translate(cr, -area.x(), -area.y());
    cairo_transform(cr, &matrix);
    cairo_set_line_width(cr, cairo_get_line_width(m_cairo));
    cairo_set_line_cap(cr, cairo_get_line_cap(m_cairo));
    cairo_set_line_join(cr, cairo_get_line_join(m_cairo));
    cairo_set_miter_limit(cr, cairo_get_miter_limit(m_cairo));
    cairo_set_fill_rule(cr, cairo_get_fill_rule(m_cairo));
    cairo_set_antialias(cr, cairo_get_antialias(m_cairo));
    cairo_set_tolerance(cr, cairo_get_tolerance(m_cairo));
    int dashCount = cairo_get_dash_count(m_cairo);
    if (dashCount > 0) {
        std::vector<double> dashes(static_cast<size_t>(dashCount));
        double phase = 0;
        cairo_get_dash(m_cairo, dashes.data(), &phase);
        cairo_set_dash(cr, dashes.data(), dashCount, phase);
    }
    if (cairo_has_current_point(m_cairo)) {
        cairo_path_t* path = cairo_copy_path(m_cairo);
        cairo_append_path(cr, path);
        cairo_path_destroy(path);
    }
    paint(cr, data);
    cairo_destroy(cr);

    cairo_surface_flush(mask);
    blur.applyRemembering(
        cairo_image_surface_get_data(mask), width, height, cairo_image_surface_get_stride(mask));
    cairo_surface_mark_dirty(mask);

    PathKeeper keeper(m_cairo);
    cairo_save(m_cairo);
    cairo_identity_matrix(m_cairo);
    // The mask already carries the shape's own alpha (and the context alpha through it).
    setSourceColor(m_cairo, state.shadowColor, 1);
    cairo_mask_surface(m_cairo, mask, area.x() + offsetX, area.y() + offsetY);
    cairo_restore(m_cairo);
    cairo_surface_destroy(mask);
}

// --- Glyph-level text

void Context::selectFont(const Font& font) {
    m_states.back().font = font;
}

const Font& Context::font() const {
    return m_states.back().font;
}

void Context::setTextDrawingMode(TextDrawingMode mode) {
    m_states.back().textMode = mode;
}

TextDrawingMode Context::textDrawingMode() const {
    return m_states.back().textMode;
}

void Context::setTextPosition(Point position) {
    m_textPosition = position;
}

Point Context::textPosition() const {
    return m_textPosition;
}

void Context::showTextAtPoint(double x, double y, const std::string& text) {
    m_textPosition = {x, y};
    showText(text);
}

void Context::showText(const std::string& text) {
    TextLayout layout(text, m_states.back().font);
    PangoRectangle logical;
    pango_layout_get_extents(layout.pangoLayout(), nullptr, &logical);
    Point topLeft {m_textPosition.x, m_textPosition.y - layout.baseline()};
    showLayout(layout.pangoLayout(), topLeft);
    m_textPosition.x += logical.width / double(PANGO_SCALE);
}

void Context::showLayout(PangoLayout* layout, Point topLeft, double clipHeight) {
    const State& state = m_states.back();
    if (!layout || state.textMode == TextDrawingMode::Invisible || !finite(topLeft.x) || !finite(topLeft.y))
        return;
    PathKeeper keeper(m_cairo);
    Rect bounds;
    if (state.shadowSet) {
        PangoRectangle ink;
        pango_layout_get_extents(layout, &ink, nullptr);
        bounds
            = userToDevice({topLeft.x + ink.x / double(PANGO_SCALE), topLeft.y + ink.y / double(PANGO_SCALE),
                ink.width / double(PANGO_SCALE), ink.height / double(PANGO_SCALE)});
    }
    const bool fill = state.textMode != TextDrawingMode::Stroke;
    const bool stroke = state.textMode != TextDrawingMode::Fill;
    const Color fillColor = state.fill, strokeColor = state.stroke;
    const double alpha = state.alpha;
    paintWithShadow(bounds, [&](cairo_t* cr) {
        cairo_save(cr);
        cairo_new_path(cr);
        if (clipHeight > 0) {
            cairo_rectangle(cr, topLeft.x - 1e4, topLeft.y, 2e4, clipHeight);
            cairo_clip(cr);
        }
        cairo_move_to(cr, topLeft.x, topLeft.y);
        if (fill) {
            setSourceColor(cr, fillColor, alpha);
            pango_cairo_show_layout(cr, layout);
        }
        if (stroke) {
            cairo_move_to(cr, topLeft.x, topLeft.y);
            pango_cairo_layout_path(cr, layout);
            setSourceColor(cr, strokeColor, alpha);
            cairo_stroke(cr);
        }
        cairo_new_path(cr);
        cairo_restore(cr);
    });
}

// --- String drawing

Size Context::drawText(
    const std::string& text, Rect rect, const Font& font, LineBreakMode mode, TextAlignment alignment) {
    return TextLayout::drawInRect(*this, text, rect, font, mode, alignment);
}

Size Context::drawText(const std::string& text, Point point, const Font& font) {
    return TextLayout::drawAtPoint(*this, text, point, font);
}

Size Context::drawText(
    const std::string& text, Point point, double width, const Font& font, LineBreakMode mode) {
    return TextLayout::drawAtPoint(*this, text, point, width, font, mode);
}

// --- Images

void Context::drawImage(const Image& image, Rect rect) {
    image.drawInRect(*this, rect);
}

void Context::drawImage(const Image& image, Point point) {
    image.drawAtPoint(*this, point);
}

} // namespace platform::graphics
