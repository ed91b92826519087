#include "platform/views/Window.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/base/NotificationCenter.h"
#include "platform/graphics/Context.h"
#include "platform/graphics/ImageContext.h"
#include "platform/views/Application.h"
#include "platform/views/KeyInput.h"
#include "platform/views/Keyboard.h"
#include "platform/views/NavigationBar.h"
#include "platform/views/NavigationController.h"
#include "platform/views/Screen.h"
#include "platform/views/ScrollView.h"
#include "platform/views/StatusBar.h"
#include "platform/views/ViewController.h"

namespace platform::views {

namespace {

// Dims everything below the alerts and swallows touches meant for it.
class DimmingView : public View {
public:
    explicit DimmingView(Rect frame)
        : View(frame) {
        setBackgroundColor(Color::black().withAlpha(0.4));
        setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
        setOpaque(false);
    }
    void touchesBegan(Touch&) override { }
    void touchesMoved(Touch&) override { }
    void touchesEnded(Touch&) override { }
    void touchesCancelled(Touch&) override { }
};

} // namespace

bool isLandscape(InterfaceOrientation orientation) {
    return orientation == InterfaceOrientation::LandscapeLeft
        || orientation == InterfaceOrientation::LandscapeRight;
}

Window::Window()
    : Window(Screen::mainScreen().bounds()) { }

Window::Window(Rect frame)
    : View(frame)
    , m_statusBar(std::make_shared<StatusBar>()) {
    setBackgroundColor(Color::black());
    m_statusBar->setFrame(Rect(0, 0, frame.width(), kStatusBarHeight));
    addSubview(m_statusBar);
}

Window::~Window() {
    if (Application::sharedApplication().keyWindow() == this)
        Application::sharedApplication().windowWillClose(*this);
    // The subviews leave while the window is still whole: an entry that ends editing on its
    // way out reaches the window's keyboard and first responder, which the base class's
    // destructor would find already destroyed.
    for (auto& subview : std::vector<std::shared_ptr<View>>(subviews()))
        subview->removeFromSuperview();
}

void Window::makeKeyAndVisible() {
    setHidden(false);
    Application::sharedApplication().setKeyWindow(this);
}

bool Window::isKeyWindow() const {
    return Application::sharedApplication().keyWindow() == this;
}

Rect Window::applicationFrame() const {
    double top = m_statusBarHidden ? 0 : kStatusBarHeight;
    return Rect(0, top, bounds().width(), bounds().height() - top);
}

void Window::setStatusBarHidden(bool hidden) {
    m_statusBarHidden = hidden;
    m_statusBar->setHidden(hidden);
    layoutContent();
}

std::shared_ptr<View> Window::contentViewOf(ViewController& controller) const {
    return controller.view();
}

void Window::setRootViewController(std::shared_ptr<ViewController> controller) {
    if (m_rootViewController == controller)
        return;
    if (m_rootViewController) {
        auto old = m_rootViewController;
        old->beginAppearanceTransition(false, false);
        if (old->isViewLoaded())
            old->view()->removeFromSuperview();
        m_rootViewController.reset();
        old->endAppearanceTransition(false);
    }
    if (!controller)
        return;
    m_rootViewController = controller;
    auto view = controller->view();
    view->setFrame(applicationFrame());
    controller->beginAppearanceTransition(true, false);
    insertSubview(view, 0);
    controller->endAppearanceTransition(false);
}

void Window::didAddSubview(View* subview) {
    // An application may add its root controller's view itself (as the phone's
    // application delegates do); the window then treats that controller as its root.
    ViewController* controller = subview->viewController();
    if (!controller || m_rootViewController || m_adopting)
        return;
    m_adopting = true;
    m_rootViewController = controller->shared_from_this();
    subview->setFrame(applicationFrame());
    // Keep the status bar, keyboard and alerts above the content.
    insertSubview(subview->sharedFromThis(), 0);
    controller->beginAppearanceTransition(true, false);
    controller->endAppearanceTransition(false);
    m_adopting = false;
}

void Window::showPresentedView(ViewController& controller) {
    ViewController* below = topPresentedController();
    auto view = controller.view();
    view->setFrame(applicationFrame());
    m_adopting = true;
    if (below && below->isViewLoaded())
        insertSubviewAbove(view, below->view().get());
    else
        insertSubview(view, 0);
    m_adopting = false;
    m_presented.push_back(&controller);
    // The screen below is covered completely; it leaves the window until it shows again.
    if (below && below->isViewLoaded())
        below->view()->removeFromSuperview();
}

void Window::hidePresentedView(ViewController& controller) {
    auto it = std::find(m_presented.begin(), m_presented.end(), &controller);
    if (it == m_presented.end())
        return;
    m_presented.erase(it, m_presented.end());
    ViewController* below = topPresentedController();
    m_adopting = true;
    if (below) {
        auto view = below->view();
        view->setFrame(applicationFrame());
        if (controller.isViewLoaded())
            insertSubviewBelow(view, controller.view().get());
        else
            insertSubview(view, 0);
    }
    m_adopting = false;
    if (controller.isViewLoaded())
        controller.view()->removeFromSuperview();
}

ViewController* Window::topPresentedController() const {
    if (!m_presented.empty())
        return m_presented.back();
    return m_rootViewController.get();
}

void Window::layoutContent() {
    Rect frame = applicationFrame();
    if (m_rootViewController && m_rootViewController->isViewLoaded()
        && m_rootViewController->view()->superview() == this)
        m_rootViewController->view()->setFrame(frame);
    for (ViewController* controller : m_presented) {
        if (controller->isViewLoaded())
            controller->view()->setFrame(frame);
    }
    m_statusBar->setFrame(Rect(0, 0, bounds().width(), kStatusBarHeight));
    if (m_keyboard && m_keyboardShown)
        m_keyboard->setFrame(keyboardOnScreenFrame());
    if (m_dimmingView)
        m_dimmingView->setFrame(bounds());
    for (auto& alert : m_alerts)
        alert->setNeedsLayout();
}

void Window::layoutSubviews() {
    layoutContent();
}

View* Window::firstResponder() const {
    auto responder = m_firstResponder.lock();
    return responder.get();
}

bool Window::makeFirstResponder(View* view) {
    if (!view)
        return false;
    View* current = firstResponder();
    if (current == view)
        return true;
    if (current) {
        m_switchingResponder = dynamic_cast<KeyInput*>(view) != nullptr;
        bool resigned = current->resignFirstResponder();
        m_switchingResponder = false;
        if (!resigned)
            return false;
        // The resigning responder's callbacks may have given the first responder away.
        if (firstResponder() && firstResponder() != view)
            return false;
    }
    auto shared = view->sharedFromThis();
    m_firstResponder = shared;
    auto* input = dynamic_cast<KeyInput*>(view);
    if (input)
        attachKeyboard(*input);
    else if (m_keyboardShown)
        detachKeyboard();
    view->didBecomeFirstResponder();
    if (input && firstResponder() == view)
        keyboardDidAttach();
    return true;
}

void Window::clearFirstResponder(View* view) {
    if (firstResponder() != view)
        return;
    auto keep = view->sharedFromThis();
    m_firstResponder.reset();
    view->didResignFirstResponder();
    if (!m_switchingResponder && !firstResponder() && m_keyboardShown)
        detachKeyboard();
}

Rect Window::keyboardOnScreenFrame() const {
    double height = isLandscape(m_orientation) ? kLandscapeKeyboardHeight : kKeyboardHeight;
    if (m_hostKeyboard && m_hostKeyboardHeight > 0)
        height = std::min(m_hostKeyboardHeight, bounds().height() - kStatusBarHeight);
    return Rect(0, bounds().height() - height, bounds().width(), height);
}

void Window::setHostKeyboard(bool hostKeyboard, double height) {
    height = std::isfinite(height) ? std::max(0.0, std::round(height)) : 0;
    if (hostKeyboard == m_hostKeyboard && height == m_hostKeyboardHeight)
        return;
    Rect before = keyboardOnScreenFrame();
    m_hostKeyboard = hostKeyboard;
    m_hostKeyboardHeight = height;
    if (!m_keyboard || !m_keyboardShown)
        return;
    m_keyboard->setHidden(m_hostKeyboard);
    Rect after = keyboardOnScreenFrame();
    m_keyboard->setFrame(after);
    if (after != before) {
        postKeyboardNotification(kKeyboardWillShowNotification, before, after);
        postKeyboardNotification(kKeyboardDidShowNotification, before, after);
    }
    Application::sharedApplication().keyboardDidChange();
}

Rect Window::keyboardOffScreenFrame() const {
    Rect frame = keyboardOnScreenFrame();
    return frame.offsetBy(0, frame.height());
}

void Window::attachKeyboard(KeyInput& input) {
    if (!m_keyboard)
        m_keyboard = std::make_shared<Keyboard>(keyboardOnScreenFrame());
    View* inputView = dynamic_cast<View*>(&input);
    m_keyboard->setFrame(keyboardOnScreenFrame());
    m_keyboard->setHidden(m_hostKeyboard);
    m_keyboard->configureFor(input, inputView ? inputView->sharedFromThis() : nullptr);
    if (m_keyboard->superview() != this) {
        // Above the content and the status bar, below alerts.
        if (m_dimmingView && m_dimmingView->superview() == this)
            insertSubviewBelow(m_keyboard, m_dimmingView.get());
        else
            insertSubviewAbove(m_keyboard, m_statusBar.get());
    }
    m_keyboardWasShown = m_keyboardShown;
    m_keyboardShown = true;
    if (!m_keyboardWasShown && !m_hostKeyboard)
        noteTransition(Transition::Kind::KeyboardUp, keyboardOnScreenFrame());
    Application::sharedApplication().keyboardDidChange();
}

void Window::keyboardDidAttach() {
    Rect end = keyboardOnScreenFrame();
    Rect begin = m_keyboardWasShown ? end : keyboardOffScreenFrame();
    postKeyboardNotification(kKeyboardWillShowNotification, begin, end);
    postKeyboardNotification(kKeyboardDidShowNotification, begin, end);
}

void Window::detachKeyboard() {
    if (!m_keyboardShown)
        return;
    Rect begin = keyboardOnScreenFrame();
    Rect end = keyboardOffScreenFrame();
    postKeyboardNotification(kKeyboardWillHideNotification, begin, end);
    m_keyboardShown = false;
    if (!m_hostKeyboard)
        noteTransition(Transition::Kind::KeyboardDown, begin);
    if (m_keyboard) {
        m_keyboard->detach();
        m_keyboard->removeFromSuperview();
    }
    postKeyboardNotification(kKeyboardDidHideNotification, begin, end);
    Application::sharedApplication().keyboardDidChange();
}

Keyboard* Window::keyboard() const {
    return m_keyboardShown ? m_keyboard.get() : nullptr;
}

bool Window::isKeyboardVisible() const {
    return m_keyboardShown;
}

Rect Window::keyboardFrame() const {
    return m_keyboardShown ? keyboardOnScreenFrame() : Rect();
}

void Window::postKeyboardNotification(const std::string& name, Rect begin, Rect end) {
    Dictionary info {
        {kKeyboardFrameBeginUserInfoKey, valueWithRect(begin)},
        {kKeyboardFrameEndUserInfoKey, valueWithRect(end)},
        {kKeyboardBoundsUserInfoKey, valueWithRect(Rect(0, 0, end.width(), end.height()))},
        {kKeyboardAnimationDurationUserInfoKey, Value(0.3)},
        {kKeyboardAnimationCurveUserInfoKey, Value(int(AnimationCurve::EaseInOut))},
    };
    NotificationCenter::defaultCenter().post(name, std::move(info), nullptr);
}

void Window::presentAlert(std::shared_ptr<View> alert) {
    if (!alert)
        return;
    if (std::find(m_alerts.begin(), m_alerts.end(), alert) != m_alerts.end())
        return;
    m_alerts.push_back(alert);
    updateAlertLayer();
}

void Window::dismissAlert(View* alert) {
    auto it = std::find_if(m_alerts.begin(), m_alerts.end(), [&](auto& a) { return a.get() == alert; });
    if (it == m_alerts.end())
        return;
    auto keep = *it;
    m_alerts.erase(it);
    keep->removeFromSuperview();
    updateAlertLayer();
}

View* Window::visibleAlert() const {
    return m_alerts.empty() ? nullptr : m_alerts.back().get();
}

void Window::updateAlertLayer() {
    if (m_alerts.empty()) {
        if (m_dimmingView)
            m_dimmingView->removeFromSuperview();
        return;
    }
    if (!m_dimmingView)
        m_dimmingView = std::make_shared<DimmingView>(bounds());
    m_dimmingView->setFrame(bounds());
    addSubview(m_dimmingView);
    // Only the newest alert shows; older ones wait behind it.
    for (auto& alert : m_alerts) {
        alert->removeFromSuperview();
    }
    auto top = m_alerts.back();
    addSubview(top);
    top->setNeedsLayout();
}

void Window::touchDown(Point point) {
    if (m_touch)
        return;
    layoutIfNeeded();
    View* hit = hitTest(point);
    if (!hit)
        return;
    // A finger on content still gliding stops it, whatever lies under the finger.
    for (View* view = hit; view; view = view->superview()) {
        if (auto* scroll = dynamic_cast<ScrollView*>(view); scroll && scroll->isDecelerating()) {
            hit = scroll;
            break;
        }
    }
    m_touchView = hit->sharedFromThis();
    m_touchCaptured = false;
    m_touch.emplace(this, hit, point);
    hit->touchesBegan(*m_touch);
}

namespace {

NavigationBar* firstNavigationBar(View& view) {
    if (auto* bar = dynamic_cast<NavigationBar*>(&view))
        return bar;
    for (const auto& subview : view.subviews()) {
        if (NavigationBar* bar = subview->isHidden() ? nullptr : firstNavigationBar(*subview))
            return bar;
    }
    return nullptr;
}

} // namespace

View* Window::backButton() {
    ViewController* top = topPresentedController();
    if (!top)
        return nullptr;
    layoutIfNeeded();
    NavigationBar* bar = nullptr;
    auto* navigation = dynamic_cast<NavigationController*>(top);
    if (!navigation)
        navigation = top->navigationController();
    if (navigation)
        bar = navigation->isNavigationBarHidden() ? nullptr : &navigation->navigationBar();
    else if (top->isViewLoaded())
        bar = firstNavigationBar(*top->view());
    if (!bar)
        return nullptr;
    View* button = bar->backButtonView();
    // A screen presented over the others goes back by closing: the left button of its bar.
    if (!button && top != m_rootViewController.get())
        button = bar->leftButtonView();
    return button && button->window() == this && !button->isHidden() ? button : nullptr;
}

bool Window::pressBackButton() {
    View* button = m_touch || !isUserInteractionEnabled() || visibleAlert() ? nullptr : backButton();
    if (!button)
        return false;
    const Point center = button->convertRectToView(button->bounds(), nullptr).center();
    View* hit = hitTest(center);
    while (hit && hit != button)
        hit = hit->superview();
    if (!hit)
        return false;
    touchDown(center);
    touchUp(center);
    return true;
}

void Window::touchMove(Point point) {
    if (!m_touch)
        return;
    m_touch->moveTo(point);
    m_touch->setPhase(TouchPhase::Moved);
    if (!m_touchCaptured && m_touch->hasMovedFar()) {
        // A scroll view under the finger takes over a drag that started on one of its
        // subviews; the subview's touch is cancelled.
        for (View* v = m_touch->view(); v; v = v->superview()) {
            auto* scroll = dynamic_cast<ScrollView*>(v);
            if (!scroll || !scroll->shouldCaptureTouch(*m_touch))
                continue;
            m_touch->setPhase(TouchPhase::Cancelled);
            m_touch->view()->touchesCancelled(*m_touch);
            m_touchView = scroll->sharedFromThis();
            m_touch->setView(scroll);
            m_touch->setPhase(TouchPhase::Moved);
            scroll->beginCapturedTouch(*m_touch);
            m_touchCaptured = true;
            break;
        }
    }
    if (m_touch && m_touch->view())
        m_touch->view()->touchesMoved(*m_touch);
}

void Window::touchUp(Point point) {
    if (!m_touch)
        return;
    if (point != m_touch->windowLocation())
        m_touch->moveTo(point);
    m_touch->setPhase(TouchPhase::Ended);
    auto keep = m_touchView;
    Touch touch = *m_touch;
    m_touch.reset();
    m_touchView.reset();
    if (touch.view())
        touch.view()->touchesEnded(touch);
}

void Window::touchCancel() {
    if (!m_touch)
        return;
    m_touch->setPhase(TouchPhase::Cancelled);
    auto keep = m_touchView;
    Touch touch = *m_touch;
    m_touch.reset();
    m_touchView.reset();
    if (touch.view())
        touch.view()->touchesCancelled(touch);
}

bool Window::setInterfaceOrientation(InterfaceOrientation orientation) {
    if (orientation == m_orientation)
        return true;
    ViewController* top = topPresentedController();
    ViewController* decider = top;
    while (decider && decider->visibleChildViewController())
        decider = decider->visibleChildViewController();
    if (!decider || !decider->shouldAutorotateToInterfaceOrientation(orientation))
        return false;
    InterfaceOrientation from = m_orientation;
    double duration = 0.3;
    top->rotate(orientation, duration, 0);
    m_orientation = orientation;
    screenDidResize();
    top->rotate(orientation, duration, 1);
    top->rotate(from, duration, 2);
    return true;
}

void Window::screenDidResize() {
    const Screen& screen = Screen::mainScreen();
    Rect frame = isLandscape(m_orientation) ? Rect({0, 0}, screen.landscapeSize()) : screen.bounds();
    if (frame != this->frame())
        setFrame(frame);
    layoutContent();
}

void Window::noteTransition(Transition::Kind kind, Rect region) {
    region = region.intersection(bounds());
    if (!region.isEmpty())
        m_transitions.push_back({kind, region});
}

std::vector<Window::Transition> Window::takeTransitions() {
    return std::exchange(m_transitions, {});
}

graphics::Image Window::render(double scale, graphics::Image reuse) {
    layoutIfNeeded();
    // The window paints every pixel (its background is opaque), so a frame buffer can be
    // drawn over as it is: no allocation, no clearing, no copy.
    cairo_surface_t* surface = reuse.reusableSurface();
    int width = static_cast<int>(std::ceil(bounds().width() * scale - 1e-6));
    int height = static_cast<int>(std::ceil(bounds().height() * scale - 1e-6));
    if (surface && cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24
        && cairo_image_surface_get_width(surface) == width
        && cairo_image_surface_get_height(surface) == height && backgroundColor()
        && backgroundColor()->alpha >= 1) {
        // Except for a last row or column the window only partly covers (692 points at 3.65625
        // is 2530.1 pixels): drawn over the old frame, it would blend with whatever that showed,
        // differ from frame to frame and stretch every patch to the screen's edge. Cleared, it
        // comes out as in a fresh buffer.
        const int coveredWidth = static_cast<int>(std::floor(bounds().width() * scale + 1e-6));
        const int coveredHeight = static_cast<int>(std::floor(bounds().height() * scale + 1e-6));
        if (coveredWidth < width || coveredHeight < height) {
            cairo_t* cr = cairo_create(surface);
            cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
            cairo_rectangle(cr, coveredWidth, 0, width - coveredWidth, height);
            cairo_rectangle(cr, 0, coveredHeight, width, height - coveredHeight);
            cairo_fill(cr);
            cairo_destroy(cr);
        }
        {
            graphics::Context context(surface, scale);
            renderInContext(context);
        }
        cairo_surface_flush(surface);
        return reuse;
    }
    graphics::ImageContext image(bounds().size, true, scale);
    renderInContext(image.context());
    return image.takeImage();
}

bool Window::renderPNG(const std::string& path, double scale) {
    return render(scale).writeToFile(path);
}

void Window::setBackdrop(std::shared_ptr<View> view, double top) {
    m_backdrop = std::move(view);
    m_backdropTop = top;
    if (m_backdrop)
        m_backdrop->setNeedsDisplay();
}

std::uint64_t Window::backdropVersion() {
    if (!m_backdrop)
        return m_backdropVersion;
    const Rect frame(0, m_backdropTop, bounds().width(), bounds().height() - m_backdropTop);
    if (frame != m_backdrop->frame())
        m_backdrop->setFrame(frame);
    if (m_backdrop->needsDisplay() || frame != m_backdropFrame) {
        m_backdropFrame = frame;
        m_backdrop->clearNeedsDisplay();
        ++m_backdropVersion;
    }
    return m_backdropVersion;
}

graphics::Image Window::renderBackdrop(double scale) {
    if (!m_backdrop || isLandscape(m_orientation) || m_backdropFrame.isEmpty())
        return {};
    graphics::ImageContext image(bounds().size, true, scale);
    graphics::Context& context = image.context();
    context.saveGState();
    context.translateCTM(m_backdropFrame.x(), m_backdropFrame.y());
    m_backdrop->renderInContext(context);
    context.restoreGState();
    return image.takeImage();
}

} // namespace platform::views
