#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/Image.h"
#include "platform/views/Screen.h"
#include "platform/views/Touch.h"
#include "platform/views/View.h"

namespace platform::views {

class Keyboard;
class KeyInput;
class StatusBar;
class ViewController;

enum class InterfaceOrientation {
    Portrait = 1,
    PortraitUpsideDown = 2,
    LandscapeLeft = 4,
    LandscapeRight = 3
};
bool isLandscape(InterfaceOrientation orientation);

// The phone's screen: the status bar, the root controller's view (or the view of the
// controller presented over it), the on-screen keyboard while an entry has it, and alerts
// and action sheets over a dimmed background. It routes touches by hit testing, keeps the
// first responder, and composes everything into one image.
//
// With user interaction off (setUserInteractionEnabled(false), the busy overlay) the window
// ignores every touch and key.
class Window : public View {
public:
    static constexpr double kStatusBarHeight = Screen::kStatusBarHeight;
    static constexpr double kKeyboardHeight = Screen::kKeyboardHeight;
    static constexpr double kLandscapeKeyboardHeight = 162;

    Window();
    explicit Window(Rect frame);
    ~Window() override;

    // The controller whose view fills the screen below the status bar.
    std::shared_ptr<ViewController> rootViewController() const { return m_rootViewController; }
    void setRootViewController(std::shared_ptr<ViewController> controller);
    // Registers the window with the application as its key window.
    void makeKeyAndVisible();
    bool isKeyWindow() const;

    // The area for full-screen content (the screen below the status bar).
    Rect applicationFrame() const;
    void setStatusBarHidden(bool hidden);
    bool isStatusBarHidden() const { return m_statusBarHidden; }
    StatusBar& statusBar() { return *m_statusBar; }

    // Modal presentation (ViewController uses these): the presented controller's view
    // covers the screen until it is dismissed.
    void showPresentedView(ViewController& controller);
    void hidePresentedView(ViewController& controller);
    // The controller whose view is on screen: the last presented one, else the root.
    ViewController* topPresentedController() const;

    // First responder.
    View* firstResponder() const;
    // Makes `view` first responder after the current one resigns; false when it refuses.
    bool makeFirstResponder(View* view);
    // Forgets `view` as first responder (no callbacks).
    void clearFirstResponder(View* view);

    // The keyboard: entries call these around their begin/end editing steps. The keyboard
    // is rebuilt for every entry that takes it; the show notifications follow the entry's
    // begin-editing callbacks, the hide notifications its end-editing callbacks.
    void attachKeyboard(KeyInput& input);
    void keyboardDidAttach();
    void detachKeyboard();
    // True while one entry hands the first responder to another (no hide in between).
    bool isSwitchingResponder() const { return m_switchingResponder; }
    Keyboard* keyboard() const;
    bool isKeyboardVisible() const;
    Rect keyboardFrame() const;
    // A host whose device has a keyboard of its own (a phone) shows that one instead: the
    // drawn keyboard is kept (keys forwarded by the host reach the entry through it) but not
    // shown, and the keyboard frame is the part of the screen the device's keyboard covers
    // (`height` points at the bottom; 0 while not known takes the drawn keyboard's height).
    // A change while an entry edits is told with the show notifications again.
    void setHostKeyboard(bool hostKeyboard, double height = 0);
    bool usesHostKeyboard() const { return m_hostKeyboard; }

    // Alerts and action sheets (AlertView::show and ActionSheet::showInView call these).
    void presentAlert(std::shared_ptr<View> alert);
    void dismissAlert(View* alert);
    // The alert or sheet on top, or none.
    View* visibleAlert() const;
    const std::vector<std::shared_ptr<View>>& alertStack() const { return m_alerts; }

    // Input in screen points. Only one finger at a time: a second down is ignored.
    void touchDown(Point point);
    void touchMove(Point point);
    void touchUp(Point point);
    void touchCancel();
    bool isTracking() const { return m_touch.has_value(); }
    // The back button of the navigation bar on screen, if it shows one; on a screen presented
    // over the others, the bar's left button (its Close or Cancel).
    View* backButton();
    // What the device's own back key or back gesture does: taps that button as a finger
    // would, so the screen goes back exactly as by hand; false when a finger could not
    // (one is down, an alert or the busy overlay covers it).
    bool pressBackButton();

    // Orientation. setInterfaceOrientation rotates when the controller on screen allows it
    // and answers whether it did.
    InterfaceOrientation interfaceOrientation() const { return m_orientation; }
    bool setInterfaceOrientation(InterfaceOrientation orientation);

    // Follows the screen's size (Screen::setHeight) in the current orientation.
    void screenDidResize();

    // Movements the platform applied at once (it does not animate): a host may show them as a
    // slide between the frame before and the frame after. `region` is what moves, in window
    // points. Kept until the host takes them.
    struct Transition {
        enum class Kind { Push, Pop, Present, Dismiss, KeyboardUp, KeyboardDown };
        Kind kind {Kind::Push};
        Rect region;
        bool operator==(const Transition&) const = default;
    };
    void noteTransition(Transition::Kind kind, Rect region);
    std::vector<Transition> takeTransitions();

    // Composes the screen into an image at `scale` pixels per point. `reuse`, an earlier
    // frame of the same size that nothing else holds any more, is drawn over instead of
    // allocating a new frame.
    graphics::Image render(double scale = 2, graphics::Image reuse = {});
    bool renderPNG(const std::string& path, double scale = 2);

    // A view most screens show beneath their content (the theme's background): outside the
    // hierarchy, filling the window below `top` points while upright. A host may leave the
    // pixels that equal it out of frames for a page that holds it already.
    void setBackdrop(std::shared_ptr<View> view, double top);
    View* backdrop() const { return m_backdrop.get(); }
    // Changes whenever the backdrop may draw differently: its frame, a redraw asked of it.
    std::uint64_t backdropVersion();
    // The backdrop alone at `scale` (black around it), the size of a frame; none without a
    // backdrop or while the window lies on its side.
    graphics::Image renderBackdrop(double scale);

    void layoutSubviews() override;

protected:
    void didAddSubview(View* subview) override;

private:
    void layoutContent();
    std::shared_ptr<View> contentViewOf(ViewController& controller) const;
    void postKeyboardNotification(const std::string& name, Rect begin, Rect end);
    Rect keyboardOnScreenFrame() const;
    Rect keyboardOffScreenFrame() const;
    void updateAlertLayer();

    std::shared_ptr<ViewController> m_rootViewController;
    std::vector<ViewController*> m_presented;
    std::shared_ptr<StatusBar> m_statusBar;
    bool m_statusBarHidden {false};
    std::shared_ptr<Keyboard> m_keyboard;
    bool m_keyboardShown {false};
    bool m_hostKeyboard {false};
    double m_hostKeyboardHeight {0};
    std::vector<Transition> m_transitions;
    bool m_keyboardWasShown {false};
    bool m_adopting {false};
    std::weak_ptr<View> m_firstResponder;
    bool m_switchingResponder {false};
    std::shared_ptr<View> m_dimmingView;
    std::vector<std::shared_ptr<View>> m_alerts;
    std::optional<Touch> m_touch;
    std::shared_ptr<View> m_touchView;
    bool m_touchCaptured {false};
    InterfaceOrientation m_orientation {InterfaceOrientation::Portrait};
    std::shared_ptr<View> m_backdrop;
    double m_backdropTop {0};
    Rect m_backdropFrame;
    std::uint64_t m_backdropVersion {0};
};

} // namespace platform::views
