#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/TextLayout.h"

namespace platform::graphics {
class Context;
}

namespace platform::views {

using graphics::Color;
using graphics::EdgeInsets;
using graphics::LineBreakMode;
using graphics::Point;
using graphics::Rect;
using graphics::Size;
using graphics::TextAlignment;

class Touch;
class ViewController;
class Window;

// How a view's frame follows its superview's size (flags combine with |).
enum AutoresizingMask : unsigned {
    AutoresizingNone = 0,
    AutoresizingFlexibleLeftMargin = 1 << 0,
    AutoresizingFlexibleWidth = 1 << 1,
    AutoresizingFlexibleRightMargin = 1 << 2,
    AutoresizingFlexibleTopMargin = 1 << 3,
    AutoresizingFlexibleHeight = 1 << 4,
    AutoresizingFlexibleBottomMargin = 1 << 5,
};

enum class ContentMode {
    ScaleToFill,
    ScaleAspectFit,
    ScaleAspectFill,
    Redraw,
    Center,
    Top,
    Bottom,
    Left,
    Right,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
};

enum class AnimationCurve { EaseInOut, EaseIn, EaseOut, Linear };

// A rectangle of the screen that draws itself and its subviews and takes touches.
//
// Views are held by std::shared_ptr: a view owns its subviews, and its superview is a plain
// back reference that the superview clears when it lets the view go. Coordinates are points
// with y downwards; `frame` is in the superview's coordinates, `bounds` in the view's own
// (a scroll view's bounds origin is its content offset).
//
// Touches that a view does not handle go to its superview (the default handlers forward
// them), so a tap on a label inside a table cell reaches the table.
class View : public std::enable_shared_from_this<View> {
public:
    View();
    explicit View(Rect frame);
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // Geometry.
    Rect frame() const { return m_frame; }
    virtual void setFrame(Rect frame);
    Rect bounds() const { return m_bounds; }
    virtual void setBounds(Rect bounds);
    Point center() const { return m_frame.center(); }
    void setCenter(Point center);
    unsigned autoresizingMask() const { return m_autoresizingMask; }
    void setAutoresizingMask(unsigned mask) { m_autoresizingMask = mask; }
    bool autoresizesSubviews() const { return m_autoresizesSubviews; }
    void setAutoresizesSubviews(bool value) { m_autoresizesSubviews = value; }
    ContentMode contentMode() const { return m_contentMode; }
    void setContentMode(ContentMode mode);

    // Appearance.
    int tag() const { return m_tag; }
    virtual void setTag(int tag) { m_tag = tag; }
    bool isHidden() const { return m_hidden; }
    virtual void setHidden(bool hidden);
    double alpha() const { return m_alpha; }
    void setAlpha(double alpha);
    // Absent = no background (transparent).
    std::optional<Color> backgroundColor() const { return m_backgroundColor; }
    virtual void setBackgroundColor(std::optional<Color> color);
    // An image repeated over the background (over the colour), as a pattern colour does on
    // the phone. Tiles start at the bounds origin 0,0, so in a scroll view they move with
    // the content. A null image means none.
    const graphics::Image& backgroundPatternImage() const { return m_backgroundPattern; }
    void setBackgroundPatternImage(graphics::Image image);
    bool isOpaque() const { return m_opaque; }
    virtual void setOpaque(bool opaque) { m_opaque = opaque; }
    bool clipsToBounds() const { return m_clipsToBounds; }
    void setClipsToBounds(bool clips) { m_clipsToBounds = clips; }
    bool isUserInteractionEnabled() const { return m_userInteractionEnabled; }
    void setUserInteractionEnabled(bool enabled) { m_userInteractionEnabled = enabled; }

    // Hierarchy. Subviews are ordered back to front.
    View* superview() const { return m_superview; }
    const std::vector<std::shared_ptr<View>>& subviews() const { return m_subviews; }
    // Adds on top; a view that has another superview is moved.
    void addSubview(std::shared_ptr<View> view);
    void insertSubview(std::shared_ptr<View> view, size_t index);
    void insertSubviewAbove(std::shared_ptr<View> view, const View* sibling);
    void insertSubviewBelow(std::shared_ptr<View> view, const View* sibling);
    void bringSubviewToFront(const View* view);
    void sendSubviewToBack(const View* view);
    void removeFromSuperview();
    bool isDescendantOfView(const View* view) const;
    // This view or the first descendant (depth first, in subview order) with the tag.
    View* viewWithTag(int tag);
    // The window this view is shown in, or none.
    Window* window() const;
    std::shared_ptr<View> sharedFromThis() { return shared_from_this(); }
    // The controller whose view this is, if any (set by ViewController::setView).
    ViewController* viewController() const { return m_viewController; }
    void setViewController(ViewController* controller) { m_viewController = controller; }

    // Layout.
    void setNeedsLayout() { m_needsLayout = true; }
    bool needsLayout() const { return m_needsLayout; }
    // Runs layoutSubviews when layout was asked for (by setNeedsLayout or a size change).
    void layoutIfNeeded();
    // Lays out the subviews; the default does nothing (autoresizing already ran).
    virtual void layoutSubviews() { }
    virtual Size sizeThatFits(Size size) const { return m_bounds.size; }
    void sizeToFit();

    // Drawing. drawRect draws the view's own content (after the background colour, before
    // the subviews) in the view's coordinates.
    virtual void drawRect(graphics::Context& context, Rect rect) { }
    // Whether the view's own drawing (background, drawRect) is cut at its bounds, as a phone's
    // view is; subviews are cut only with clipsToBounds. Views whose drawing reaches past
    // their bounds by design (a shadow, text overhanging its line) answer false.
    virtual bool clipsDrawingToBounds() const { return true; }
    // Whether drawRect paints every pixel of the bounds opaquely (a full gradient), so that
    // what lies beneath need not be painted. Backgrounds of opaque colour count without it.
    virtual bool drawsOpaquely() const { return false; }
    // Draws over the subviews (scroll indicators, edit controls); nothing by default.
    virtual void drawOverlay(graphics::Context& context, Rect rect) { }
    void setNeedsDisplay();
    bool needsDisplay() const { return m_needsDisplay; }
    void clearNeedsDisplay() { m_needsDisplay = false; }
    // Draws this view and its subviews into a context whose origin is this view's frame
    // origin (the window uses it; tests can render a single view).
    void renderInContext(graphics::Context& context);

    // Hit testing. The deepest visible, interactive view under the point (in this view's
    // coordinates); hidden views, views with alpha below 0.01 and views with user
    // interaction off are skipped with their subviews.
    virtual View* hitTest(Point point);
    virtual bool pointInside(Point point) const;

    // Coordinates. `view` none means the window.
    Point convertPointToView(Point point, const View* view) const;
    Point convertPointFromView(Point point, const View* view) const;
    Rect convertRectToView(Rect rect, const View* view) const;
    Rect convertRectFromView(Rect rect, const View* view) const;

    // Touches (one finger). The default forwards to the superview.
    virtual void touchesBegan(Touch& touch);
    virtual void touchesMoved(Touch& touch);
    virtual void touchesEnded(Touch& touch);
    virtual void touchesCancelled(Touch& touch);

    // First responder. Only views that answer canBecomeFirstResponder can take it; the
    // current one must agree to resign first.
    virtual bool canBecomeFirstResponder() const { return false; }
    virtual bool becomeFirstResponder();
    virtual bool canResignFirstResponder() const { return true; }
    virtual bool resignFirstResponder();
    bool isFirstResponder() const;
    // Resigns the first responder if it is this view or one of its descendants; with
    // `force` it is taken even from a responder that refuses.
    bool endEditing(bool force);
    // Told by the window after this view became or stopped being first responder.
    virtual void didBecomeFirstResponder() { }
    virtual void didResignFirstResponder() { }

    // "<ClassName: 0x...; frame = (x y; w h); tag = n>", as the phone writes it.
    virtual std::string description() const;
    // The class name shown by description(): the C++ class name without namespaces.
    virtual std::string className() const;

    // Animations apply their end state at once; the completion runs from the main loop
    // once the current event has been handled.
    static void animate(double duration, const std::function<void()>& changes,
        std::function<void(bool finished)> completion = {});
    static void animate(double duration, AnimationCurve curve, const std::function<void()>& changes,
        std::function<void(bool finished)> completion = {});

protected:
    // Hooks for subclasses.
    virtual void didAddSubview(View* subview) { }
    virtual void willRemoveSubview(View* subview) { }
    virtual void didMoveToSuperview() { }
    virtual void didMoveToWindow() { }
    // Called after the bounds size changed (autoresizing has run).
    virtual void boundsSizeDidChange(Size oldSize) { }
    void notifyWindowChange();

private:
    void attach(std::shared_ptr<View> view, size_t index);
    // `staysIn`: the window the view is about to be added to again, if any.
    void detachFromSuperview(Window* staysIn = nullptr);
    void resizeSubviews(Size oldSize);
    void drawBackgroundPattern(graphics::Context& context);
    std::vector<Rect> coveredPixels(graphics::Context& context) const;
    void fillBackground(graphics::Context& context, const std::vector<Rect>& covered);
    bool paintsFrameOpaquely() const;
    void applyAutoresizing(Size oldSuperSize, Size newSuperSize);
    Point offsetToWindow() const;

    Rect m_frame;
    Rect m_bounds;
    unsigned m_autoresizingMask {AutoresizingNone};
    bool m_autoresizesSubviews {true};
    ContentMode m_contentMode {ContentMode::ScaleToFill};
    int m_tag {0};
    bool m_hidden {false};
    double m_alpha {1};
    std::optional<Color> m_backgroundColor;
    graphics::Image m_backgroundPattern;
    bool m_opaque {true};
    bool m_clipsToBounds {false};
    bool m_userInteractionEnabled {true};
    bool m_needsLayout {true};
    bool m_needsDisplay {true};
    View* m_superview {nullptr};
    ViewController* m_viewController {nullptr};
    std::vector<std::shared_ptr<View>> m_subviews;
};

} // namespace platform::views
