#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/TextLayout.h"

#include <string>
#include <vector>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _PangoLayout PangoLayout;

namespace platform::graphics {

class Image;

enum class LineCap { Butt, Round, Square };
enum class LineJoin { Miter, Round, Bevel };
enum class PathDrawingMode { Fill, EOFill, Stroke, FillStroke, EOFillStroke };
enum class InterpolationQuality { Default, None, Low, Medium, High };
// Invisible draws nothing but still advances the text position (measuring by drawing).
enum class TextDrawingMode { Fill, Stroke, FillStroke, Invisible };

// Gradient drawing options: extend the first colour before the start point, the last
// colour after the end point. Without them nothing is drawn beyond the ends.
enum GradientDrawingOptions : unsigned {
    GradientDrawsBeforeStartLocation = 1 << 0,
    GradientDrawsAfterEndLocation = 1 << 1,
};

struct GradientStop {
    double location {0}; // 0..1 along the gradient
    Color color;
};

// Colour stops in increasing location order.
struct Gradient {
    std::vector<GradientStop> stops;
};

// A 2-D drawing context over a Cairo surface, with the phone's drawing model:
// coordinates in points with y growing downwards, the device scale (pixels per point)
// applied underneath, a graphics state stack (save/restore) holding the transform, clip,
// line attributes, fill and stroke colours, alpha, antialiasing, shadow and font, and a
// current path that drawing operations consume.
//
// The context does not own the surface's contents beyond drawing into them; it holds a
// reference to the surface for its own lifetime. Not copyable; main thread (or any one
// thread) only.
class Context {
public:
    // Draws into `surface` (an image surface normally), `scale` device pixels per point.
    Context(cairo_surface_t* surface, double scale);
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    double scale() const { return m_scale; }
    // Size of the target in points.
    Size size() const;

    // Graphics state
    void saveGState();
    void restoreGState(); // unbalanced restores are ignored

    // Transform (user space to the context's base space of points, y down)
    void translateCTM(double tx, double ty);
    void scaleCTM(double sx, double sy);
    void rotateCTM(double radians); // positive turns +x towards +y (clockwise on screen)
    void concatCTM(const AffineTransform& transform);
    AffineTransform getCTM() const;
    Point convertToBase(Point userPoint) const;

    // Paths
    void beginPath();
    void moveToPoint(double x, double y);
    void addLineToPoint(double x, double y);
    // Arc of a circle around (x, y); angles in radians, 0 points to +x and angles grow
    // towards +y. clockwise = 0 sweeps with growing angles (clockwise on screen, y down),
    // 1 with falling angles. A line joins the current point to the arc's start.
    void addArc(double x, double y, double radius, double startAngle, double endAngle, int clockwise);
    // The phone's arc-to-point: a tangent arc of `radius` between the line from the
    // current point to (x1, y1) and the line from (x1, y1) to (x2, y2).
    void addArcToPoint(double x1, double y1, double x2, double y2, double radius);
    void addCurveToPoint(double cp1x, double cp1y, double cp2x, double cp2y, double x, double y);
    void addQuadCurveToPoint(double cpx, double cpy, double x, double y);
    void addEllipseInRect(Rect rect); // a closed subpath
    void addRect(Rect rect); // a closed subpath
    void closePath();
    bool isPathEmpty() const;
    Point currentPoint() const; // (0, 0) with no current point
    Rect pathBoundingBox() const;

    // Line attributes
    void setLineWidth(double width);
    void setLineCap(LineCap cap);
    void setLineJoin(LineJoin join);
    void setMiterLimit(double limit);
    // Dash lengths in user units; an empty list turns dashing off.
    void setLineDash(double phase, const std::vector<double>& lengths);
    void setFlatness(double flatness);
    void setShouldAntialias(bool antialias);
    void setInterpolationQuality(InterpolationQuality quality);
    InterpolationQuality interpolationQuality() const;

    // Colours
    void setFillColor(const Color& color);
    void setStrokeColor(const Color& color);
    Color fillColor() const;
    Color strokeColor() const;
    void setAlpha(double alpha); // multiplies everything drawn afterwards
    double alpha() const;

    // Painting (each consumes the current path)
    void drawPath(PathDrawingMode mode);
    void fillPath();
    void eoFillPath();
    void strokePath();
    // Rectangle and ellipse shortcuts (they replace the current path)
    void fillRect(Rect rect);
    void strokeRect(Rect rect);
    void strokeRectWithWidth(Rect rect, double width);
    void clearRect(Rect rect); // makes the rect transparent, ignoring alpha and shadow
    void fillEllipseInRect(Rect rect);
    void strokeEllipseInRect(Rect rect);
    // Strokes the segments (points[0], points[1]), (points[2], points[3]), ...
    void strokeLineSegments(const std::vector<Point>& points);

    // Clipping (intersects the current clip; consumes the path)
    void clip();
    void eoClip();
    void clipToRect(Rect rect);
    Rect clipBoundingBox() const; // in user space
    // Whether any clip was set (else everything on the surface may be painted).
    bool isClipped() const { return m_states.back().clipped; }

    // Linear gradient from `start` to `end` (user space), within the current clip.
    void drawLinearGradient(const Gradient& gradient, Point start, Point end, unsigned options = 0);

    // Shadows: everything drawn while a shadow is set also casts it. The offset is in base
    // space (points, y down: a positive height casts downwards), unaffected by the current
    // transform; blur is the blur radius in points (0 = a hard shadow). The colour's alpha
    // and the context alpha scale the shadow. Part of the graphics state.
    void setShadow(Size offset, double blur); // black at 1/3 alpha, as on the phone
    void setShadowWithColor(Size offset, double blur, const Color& color);
    void clearShadow();

    // Glyph-level text, as the phone's context text calls. The text position is in user
    // space, at the baseline; it is not part of the graphics state.
    void selectFont(const Font& font);
    const Font& font() const;
    void setTextDrawingMode(TextDrawingMode mode);
    TextDrawingMode textDrawingMode() const;
    void setTextPosition(Point position);
    Point textPosition() const;
    // Draws `text` with its baseline starting at (x, y) and moves the text position to the
    // end of its advance.
    void showTextAtPoint(double x, double y, const std::string& text);
    void showText(const std::string& text); // at the current text position

    // String drawing in the fill colour (see TextLayout for the layout rules)
    Size drawText(const std::string& text, Rect rect, const Font& font,
        LineBreakMode mode = LineBreakMode::WordWrap, TextAlignment alignment = TextAlignment::Left);
    Size drawText(const std::string& text, Point point, const Font& font);
    Size drawText(const std::string& text, Point point, double width, const Font& font,
        LineBreakMode mode = LineBreakMode::Clip);

    // Images (the image's orientation and stretch caps apply)
    void drawImage(const Image& image, Rect rect);
    void drawImage(const Image& image, Point point);

    // For the graphics layer itself.
    cairo_t* cairo() const { return m_cairo; }
    // Shows a Pango layout with its top-left at `topLeft` in the text drawing mode and
    // colours, with the shadow; only the part above `clipHeight` (> 0) below the top is
    // drawn. The current path is left as it was.
    void showLayout(PangoLayout* layout, Point topLeft, double clipHeight = 0);

    // Internal: paints with the state's shadow first when one is set. `deviceBounds` is
    // the painted area in device pixels (before clipping); `paint` draws on the given
    // cairo_t whose transform and path equal this context's.
    template<typename PaintFunction> void paintWithShadow(Rect deviceBounds, const PaintFunction& paint);

private:
    struct State {
        Color fill {Color::black()};
        Color stroke {Color::black()};
        double alpha {1};
        bool shadowSet {false};
        Size shadowOffset;
        double shadowBlur {0};
        Color shadowColor;
        InterpolationQuality interpolation {InterpolationQuality::Default};
        TextDrawingMode textMode {TextDrawingMode::Fill};
        Font font;
        bool clipped {false};
    };

    void castShadow(Rect deviceBounds, void (*paint)(cairo_t*, const void*), const void* data);
    void setSource(const Color& color);
    Rect userToDevice(Rect userRect) const;
    Rect deviceClipExtents() const;
    void showTextRun(const std::string& text, bool draw);

    cairo_surface_t* m_surface {nullptr};
    cairo_t* m_cairo {nullptr};
    double m_scale {1};
    std::vector<State> m_states {State {}};
    Point m_textPosition;
};

template<typename PaintFunction>
void Context::paintWithShadow(Rect deviceBounds, const PaintFunction& paint) {
    if (m_states.back().shadowSet)
        castShadow(
            deviceBounds, [](cairo_t* cr, const void* p) { (*static_cast<const PaintFunction*>(p))(cr); },
            &paint);
    paint(m_cairo);
}

} // namespace platform::graphics
