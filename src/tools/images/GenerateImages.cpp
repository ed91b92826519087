// Draws the application's own artwork into a resources folder, each picture at scale 1
// ("name.png") and scale 2 ("name@2x.png"):
//
//   vantrel-images <folder>
//
// Everything is drawn with the platform's graphics layer, so the pictures match the way the
// application draws its views.

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <string>

#include "platform/base/FileSystem.h"
#include "platform/graphics/Context.h"
#include "platform/graphics/ImageContext.h"

using namespace platform::graphics;

namespace {

constexpr double kPi = std::numbers::pi;

using Painter = std::function<void(Context&)>;

bool writeImage(const std::string& folder, const std::string& name, Size size, const Painter& paint) {
    for (double scale : {1.0, 2.0}) {
        ImageContext image(size, false, scale);
        paint(image.context());
        const std::string file = name + (scale == 2 ? "@2x.png" : ".png");
        std::string error;
        if (!image.image().writeToFile(platform::fs::joinPath(folder, file), &error)) {
            std::fprintf(stderr, "vantrel-images: cannot write %s: %s\n", file.c_str(), error.c_str());
            return false;
        }
    }
    return true;
}

void roundedRect(Context& c, Rect r, double radius) {
    radius = std::min({radius, r.width() / 2, r.height() / 2});
    c.beginPath();
    c.moveToPoint(r.minX(), r.midY());
    c.addArcToPoint(r.minX(), r.minY(), r.midX(), r.minY(), radius);
    c.addArcToPoint(r.maxX(), r.minY(), r.maxX(), r.midY(), radius);
    c.addArcToPoint(r.maxX(), r.maxY(), r.midX(), r.maxY(), radius);
    c.addArcToPoint(r.minX(), r.maxY(), r.minX(), r.midY(), radius);
    c.closePath();
}

void verticalGradient(Context& c, Rect r, std::vector<GradientStop> stops) {
    c.saveGState();
    c.clipToRect(r);
    c.drawLinearGradient(Gradient {std::move(stops)}, {r.x(), r.minY()}, {r.x(), r.maxY()});
    c.restoreGState();
}

// A side view of a small hatchback, `scale` times the 64-point drawing, its wheels standing
// on y = ground. Adds to the current path.
void carOutline(Context& c, double x, double ground, double scale) {
    auto p = [&](double px, double py) { return Point {x + px * scale, ground - py * scale}; };
    auto move = [&](double px, double py) {
        Point q = p(px, py);
        c.moveToPoint(q.x, q.y);
    };
    auto line = [&](double px, double py) {
        Point q = p(px, py);
        c.addLineToPoint(q.x, q.y);
    };
    auto curve = [&](double x1, double y1, double x2, double y2, double px, double py) {
        Point a = p(x1, y1), b = p(x2, y2), q = p(px, py);
        c.addCurveToPoint(a.x, a.y, b.x, b.y, q.x, q.y);
    };
    auto arch = [&](double cx, double radius) {
        // A wheel arch: the path runs right to left over the top of the wheel.
        Point centre = p(cx, 8);
        c.addArc(centre.x, centre.y, radius * scale, 0, -kPi, 1);
    };
    move(4, 8);
    line(4, 16);
    curve(4, 20, 6, 21, 10, 22);
    line(20, 23);
    curve(24, 30, 28, 33, 34, 33);
    line(44, 33);
    curve(50, 33, 54, 28, 57, 22);
    curve(60, 21, 61, 19, 61, 16);
    line(61, 8);
    line(55.5, 8);
    arch(47, 8.5);
    line(25.5, 8);
    arch(17, 8.5);
    line(4, 8);
    c.closePath();
}

// The car's two side windows, added to the current path.
void windows(Context& c, double x, double ground, double scale) {
    auto p = [&](double px, double py) { return Point {x + px * scale, ground - py * scale}; };
    auto move = [&](double px, double py) {
        Point q = p(px, py);
        c.moveToPoint(q.x, q.y);
    };
    auto line = [&](double px, double py) {
        Point q = p(px, py);
        c.addLineToPoint(q.x, q.y);
    };
    move(23, 23);
    line(26.5, 29.5);
    line(34, 31);
    line(38, 31);
    line(38, 23);
    c.closePath();
    move(40, 23);
    line(40, 31);
    line(44, 31);
    line(49, 29);
    line(53, 23);
    c.closePath();
}

void wheel(Context& c, double cx, double cy, double radius) {
    c.setFillColor(Color::fromHex(0x2B2B2B));
    c.fillEllipseInRect({cx - radius, cy - radius, 2 * radius, 2 * radius});
    const double hub = radius * 0.55;
    c.saveGState();
    c.beginPath();
    c.addEllipseInRect({cx - hub, cy - hub, 2 * hub, 2 * hub});
    c.clip();
    verticalGradient(c, {cx - hub, cy - hub, 2 * hub, 2 * hub},
        {{0, Color::fromHex(0xF2F2F2)}, {1, Color::fromHex(0x9A9A9A)}});
    c.restoreGState();
    c.setFillColor(Color::fromHex(0x555555));
    c.fillEllipseInRect({cx - radius * 0.15, cy - radius * 0.15, radius * 0.3, radius * 0.3});
}

// The picture a vehicle shows until the user takes one: a blue hatchback on a pale road.
void sampleCar(Context& c) {
    const Rect all {0, 0, 64, 64};
    verticalGradient(c, all,
        {{0, Color::fromHex(0xDCE6F2)}, {0.62, Color::fromHex(0xF7F9FB)}, {0.62, Color::fromHex(0xC9CDD3)},
            {1, Color::fromHex(0xA9AEB6)}});
    // Soft shadow under the car.
    c.setFillColor(Color::white(0, 0.25));
    c.fillEllipseInRect({5, 45, 56, 6});

    const double ground = 48;
    c.saveGState();
    c.beginPath();
    carOutline(c, 0, ground, 1);
    c.clip();
    verticalGradient(c, {0, 10, 64, 40},
        {{0, Color::fromHex(0x7FB2F0)}, {0.45, Color::fromHex(0x3781DF)}, {1, Color::fromHex(0x1D4F94)}});
    // A highlight along the shoulder line.
    c.setStrokeColor(Color::white(1, 0.55));
    c.setLineWidth(1);
    c.strokeLineSegments({{6, ground - 17.5}, {58, ground - 17.5}});
    c.restoreGState();

    c.beginPath();
    carOutline(c, 0, ground, 1);
    c.setStrokeColor(Color::fromHex(0x163C70));
    c.setLineWidth(1);
    c.strokePath();

    c.beginPath();
    windows(c, 0, ground, 1);
    c.saveGState();
    c.clip();
    verticalGradient(
        c, {20, ground - 32, 36, 10}, {{0, Color::fromHex(0xE8F1FB)}, {1, Color::fromHex(0x8FA9C8)}});
    c.restoreGState();
    c.beginPath();
    windows(c, 0, ground, 1);
    c.setStrokeColor(Color::fromHex(0x163C70));
    c.setLineWidth(0.75);
    c.strokePath();

    // Lights.
    c.setFillColor(Color::fromHex(0xFFF4C2));
    c.fillRect({58.5, ground - 15, 2.5, 2.5});
    c.setFillColor(Color::fromHex(0xD23B2E));
    c.fillRect({4, ground - 15, 2, 3});

    wheel(c, 17, ground - 7, 6.5);
    wheel(c, 47, ground - 7, 6.5);
}

// The line art at the bottom of every screen background: a road, a hatchback and a few
// hills, engraved (a dark line with a light one below it) so that it reads on all themes.
void backgroundLineArt(Context& c) {
    const double k = 2.4; // the car is the sample picture's drawing, enlarged
    const double left = 150;
    auto scene = [&](double dy) {
        const double ground = 112 + dy;
        const Point wheels[] = {{left + 17 * k, ground - 7 * k}, {left + 47 * k, ground - 7 * k}};
        // The landscape passes behind the car: clip the car's silhouette and wheels out.
        c.saveGState();
        c.beginPath();
        c.addRect({-1, -1, 322, 130});
        carOutline(c, left, ground, k);
        for (Point w : wheels)
            c.addEllipseInRect({w.x - 6.5 * k, w.y - 6.5 * k, 13 * k, 13 * k});
        c.eoClip();
        c.beginPath();
        c.moveToPoint(0, 78 + dy);
        c.addCurveToPoint(40, 58 + dy, 80, 60 + dy, 120, 72 + dy);
        c.addCurveToPoint(150, 80 + dy, 175, 62 + dy, 215, 60 + dy);
        c.addCurveToPoint(255, 58 + dy, 290, 74 + dy, 320, 70 + dy);
        c.strokePath();
        // The road: its edges and the dashed middle line.
        std::vector<Point> lines {{0, 120 + dy}, {320, 120 + dy}, {0, 92 + dy}, {320, 92 + dy}};
        for (double x = 6; x < 320; x += 34) {
            lines.push_back({x, 106 + dy});
            lines.push_back({x + 18, 106 + dy});
        }
        c.strokeLineSegments(lines);
        c.restoreGState();

        c.beginPath();
        carOutline(c, left, ground, k);
        windows(c, left, ground, k);
        c.strokePath();
        for (Point w : wheels) {
            c.strokeEllipseInRect({w.x - 6.5 * k, w.y - 6.5 * k, 13 * k, 13 * k});
            c.strokeEllipseInRect({w.x - 3 * k, w.y - 3 * k, 6 * k, 6 * k});
        }
    };
    c.setLineWidth(1.25);
    c.setLineCap(LineCap::Round);
    c.setLineJoin(LineJoin::Round);
    c.setStrokeColor(Color::white(1, 0.30));
    scene(1);
    c.setStrokeColor(Color::white(0, 0.14));
    scene(0);
}

// The application's key in the number pad's blank place: the look of the pad's dark keys,
// under the keyboard's hairline.
void keypadButton(Context& c, bool pressed) {
    const Rect all {0, 0, 105, 53};
    c.setFillColor(Color::fromHex(0x4C4F57));
    c.fillRect(all);
    const Rect face {0, 1, 104, 52};
    if (pressed)
        verticalGradient(c, face, {{0, Color::fromHex(0x7E8DA8)}, {1, Color::fromHex(0x5B6A87)}});
    else
        verticalGradient(c, face, {{0, Color::fromHex(0xB3B8C1)}, {1, Color::fromHex(0x9EA3AD)}});
    c.setFillColor(Color::white(1, pressed ? 0.15 : 0.35));
    c.fillRect({0, 1, 104, 1});
}

// The navigation bar's backup button: two arrows chasing each other round a circle.
void syncIcon(Context& c) {
    const Point centre {10, 10};
    const double radius = 6.5;
    auto arrows = [&](Color color, double dy) {
        c.setStrokeColor(color);
        c.setFillColor(color);
        c.setLineWidth(2.2);
        c.setLineCap(LineCap::Butt);
        for (int half = 0; half < 2; ++half) {
            const double start = half * kPi + 0.35, end = half * kPi + kPi - 0.45;
            c.beginPath();
            c.addArc(centre.x, centre.y + dy, radius, start, end, 0);
            c.strokePath();
            // Arrow head at the end of the arc, pointing along it.
            const Point tip {centre.x + radius * std::cos(end), centre.y + dy + radius * std::sin(end)};
            const double along = end + kPi / 2;
            const Point ahead {std::cos(along), std::sin(along)};
            const Point out {std::cos(end), std::sin(end)};
            c.beginPath();
            c.moveToPoint(tip.x + ahead.x * 3.2, tip.y + ahead.y * 3.2);
            c.addLineToPoint(tip.x + out.x * 3.4, tip.y + out.y * 3.4);
            c.addLineToPoint(tip.x - out.x * 3.4, tip.y - out.y * 3.4);
            c.closePath();
            c.fillPath();
        }
    };
    arrows(Color::white(0, 0.35), -1);
    arrows(Color::whiteColor(), 0);
}

// The product picture of the about screen: a gauge on a glossy tile in the first theme's
// blues.
void productIcon(Context& c) {
    const Rect tile {0, 0, 57, 57};
    c.saveGState();
    roundedRect(c, tile, 10);
    c.clip();
    verticalGradient(c, tile,
        {{0, Color::fromHex(0x5F95DA)}, {0.55, Color::fromHex(0x2F5A9A)}, {1, Color::fromHex(0x2F4160)}});

    const Point centre {28.5, 33};
    const double radius = 19;
    // Dial.
    c.setStrokeColor(Color::white(1, 0.9));
    c.setLineWidth(3);
    c.setLineCap(LineCap::Round);
    c.beginPath();
    c.addArc(centre.x, centre.y, radius, kPi * 0.8, kPi * 2.2, 0);
    c.strokePath();
    // Ticks.
    c.setLineWidth(1.5);
    for (int i = 0; i <= 6; ++i) {
        const double angle = kPi * 0.8 + i * (kPi * 1.4 / 6);
        const Point a {centre.x + (radius - 4) * std::cos(angle), centre.y + (radius - 4) * std::sin(angle)};
        const Point b {centre.x + (radius - 8) * std::cos(angle), centre.y + (radius - 8) * std::sin(angle)};
        c.strokeLineSegments({a, b});
    }
    // Needle.
    const double needle = kPi * 1.75;
    c.setStrokeColor(Color::fromHex(0xFF5A3C));
    c.setLineWidth(2.5);
    c.strokeLineSegments(
        {centre, {centre.x + (radius - 5) * std::cos(needle), centre.y + (radius - 5) * std::sin(needle)}});
    c.setFillColor(Color::whiteColor());
    c.fillEllipseInRect({centre.x - 3, centre.y - 3, 6, 6});
    // Drum below the dial.
    const Rect drum {17, 42, 23, 8};
    roundedRect(c, drum, 1.5);
    c.setFillColor(Color::fromHex(0x333333));
    c.fillPath();
    c.setStrokeColor(Color::white(1, 0.8));
    c.setLineWidth(0.5);
    for (int i = 1; i < 4; ++i)
        c.strokeLineSegments(
            {{drum.x() + i * drum.width() / 4, drum.minY()}, {drum.x() + i * drum.width() / 4, drum.maxY()}});

    // Gloss.
    c.beginPath();
    c.addEllipseInRect({-20, -34, 97, 62});
    c.clip();
    verticalGradient(c, {0, 0, 57, 28}, {{0, Color::white(1, 0.45)}, {1, Color::white(1, 0.08)}});
    c.restoreGState();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantrel-images <resources folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    if (!platform::fs::createDirectories(folder)) {
        std::fprintf(stderr, "vantrel-images: cannot create %s\n", folder.c_str());
        return 1;
    }
    bool ok = writeImage(folder, "SampleCar", {64, 64}, sampleCar)
        && writeImage(folder, "Background-Line-Art", {320, 124}, backgroundLineArt)
        && writeImage(folder, "KeyPadButtonNormal", {105, 53}, [](Context& c) { keypadButton(c, false); })
        && writeImage(folder, "KeyPadButtonPressed", {105, 53}, [](Context& c) { keypadButton(c, true); })
        && writeImage(folder, "Sync", {20, 20}, syncIcon)
        && writeImage(folder, "vantrel", {57, 57}, productIcon);
    return ok ? 0 : 1;
}
