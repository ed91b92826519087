#pragma once

#include <algorithm>
#include <cmath>
#include <string>

namespace platform::graphics {

// Points (1/160 inch on the phone), y downwards.
struct Point {
    double x {0};
    double y {0};
    bool operator==(const Point&) const = default;
};

struct Size {
    double width {0};
    double height {0};
    bool operator==(const Size&) const = default;
};

struct EdgeInsets {
    double top {0};
    double left {0};
    double bottom {0};
    double right {0};
    bool operator==(const EdgeInsets&) const = default;
};

struct Rect {
    Point origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(double x, double y, double w, double h)
        : origin {x, y}
        , size {w, h} { }
    constexpr Rect(Point o, Size s)
        : origin(o)
        , size(s) { }

    double x() const { return origin.x; }
    double y() const { return origin.y; }
    double width() const { return size.width; }
    double height() const { return size.height; }
    double minX() const { return std::min(origin.x, origin.x + size.width); }
    double minY() const { return std::min(origin.y, origin.y + size.height); }
    double maxX() const { return std::max(origin.x, origin.x + size.width); }
    double maxY() const { return std::max(origin.y, origin.y + size.height); }
    double midX() const { return (minX() + maxX()) / 2; }
    double midY() const { return (minY() + maxY()) / 2; }
    Point center() const { return {midX(), midY()}; }
    bool isEmpty() const { return size.width <= 0 || size.height <= 0; }

    // Same rectangle with non-negative width and height.
    Rect standardized() const { return {minX(), minY(), maxX() - minX(), maxY() - minY()}; }
    Rect insetBy(double dx, double dy) const {
        return {origin.x + dx, origin.y + dy, size.width - 2 * dx, size.height - 2 * dy};
    }
    Rect inset(const EdgeInsets& i) const {
        return {origin.x + i.left, origin.y + i.top, size.width - i.left - i.right,
            size.height - i.top - i.bottom};
    }
    Rect offsetBy(double dx, double dy) const {
        return {origin.x + dx, origin.y + dy, size.width, size.height};
    }
    // Smallest rectangle with integral coordinates that contains this one.
    Rect integral() const {
        Rect r = standardized();
        double x0 = std::floor(r.minX()), y0 = std::floor(r.minY());
        return {x0, y0, std::ceil(r.maxX()) - x0, std::ceil(r.maxY()) - y0};
    }
    Rect unionWith(const Rect& o) const {
        if (isEmpty())
            return o;
        if (o.isEmpty())
            return *this;
        double x0 = std::min(minX(), o.minX()), y0 = std::min(minY(), o.minY());
        return {x0, y0, std::max(maxX(), o.maxX()) - x0, std::max(maxY(), o.maxY()) - y0};
    }
    Rect intersection(const Rect& o) const {
        double x0 = std::max(minX(), o.minX()), y0 = std::max(minY(), o.minY());
        double x1 = std::min(maxX(), o.maxX()), y1 = std::min(maxY(), o.maxY());
        if (x1 <= x0 || y1 <= y0)
            return {};
        return {x0, y0, x1 - x0, y1 - y0};
    }
    bool intersects(const Rect& o) const { return !intersection(o).isEmpty(); }
    // Half-open: the right and bottom edges are outside, as on the phone.
    bool contains(Point p) const { return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY(); }
    bool contains(const Rect& o) const {
        return o.minX() >= minX() && o.maxX() <= maxX() && o.minY() >= minY() && o.maxY() <= maxY();
    }
    bool operator==(const Rect&) const = default;

    std::string description() const;
};

inline std::string Rect::description() const {
    auto n = [](double v) {
        std::string s = std::to_string(v);
        s.erase(s.find_last_not_of('0') + 1);
        if (!s.empty() && s.back() == '.')
            s.pop_back();
        return s;
    };
    return "{{" + n(origin.x) + ", " + n(origin.y) + "}, {" + n(size.width) + ", " + n(size.height) + "}}";
}

// A 2-D affine transform [a b c d tx ty], as the phone's: x' = a x + c y + tx, y' = b x + d y + ty.
struct AffineTransform {
    double a {1}, b {0}, c {0}, d {1}, tx {0}, ty {0};
    static AffineTransform identity() { return {}; }
    static AffineTransform translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static AffineTransform scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static AffineTransform rotation(double radians) {
        return {std::cos(radians), std::sin(radians), -std::sin(radians), std::cos(radians), 0, 0};
    }
    // this transform followed by `t`
    AffineTransform concat(const AffineTransform& t) const {
        return {a * t.a + b * t.c, a * t.b + b * t.d, c * t.a + d * t.c, c * t.b + d * t.d,
            tx * t.a + ty * t.c + t.tx, tx * t.b + ty * t.d + t.ty};
    }
    Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    bool operator==(const AffineTransform&) const = default;
};

} // namespace platform::graphics
