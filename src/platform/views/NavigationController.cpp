#include "platform/views/NavigationController.h"
#include "platform/views/Screen.h"

#include <algorithm>

#include "platform/views/Window.h"

namespace platform::views {

namespace {

// The navigation controller's own view: it lays out the bar, the top screen and the
// toolbar whenever its size changes.
class NavigationContainerView : public View {
public:
    NavigationContainerView(Rect frame, NavigationController* owner)
        : View(frame)
        , m_owner(owner) { }
    void layoutSubviews() override {
        if (m_owner)
            m_owner->layoutContainer();
    }
    void forget() { m_owner = nullptr; }

private:
    NavigationController* m_owner;
};

} // namespace

NavigationController::NavigationController(std::shared_ptr<ViewController> rootViewController)
    : m_navigationBar(std::make_shared<NavigationBar>())
    , m_toolbar(std::make_shared<Toolbar>()) {
    if (rootViewController) {
        m_stack.push_back(rootViewController);
        adopt(rootViewController);
    }
}

NavigationController::~NavigationController() {
    for (auto& controller : m_stack) {
        if (controller->navigationController() == this)
            controller->setNavigationController(nullptr);
        if (controller->parentViewController() == this)
            controller->setParentViewController(nullptr);
    }
    if (isViewLoaded()) {
        if (auto* container = dynamic_cast<NavigationContainerView*>(view().get()))
            container->forget();
    }
}

void NavigationController::adopt(const std::shared_ptr<ViewController>& controller) {
    controller->setNavigationController(this);
    controller->setParentViewController(this);
}

void NavigationController::release(const std::shared_ptr<ViewController>& controller) {
    if (controller->navigationController() == this)
        controller->setNavigationController(nullptr);
    if (controller->parentViewController() == this)
        controller->setParentViewController(nullptr);
    if (controller->isViewLoaded() && controller->view().get() == m_shownView) {
        controller->view()->removeFromSuperview();
        m_shownView = nullptr;
    }
}

NavigationBar& NavigationController::navigationBar() {
    return *m_navigationBar;
}

Toolbar& NavigationController::toolbar() {
    return *m_toolbar;
}

ViewController* NavigationController::visibleViewController() const {
    ViewController* top = topViewController();
    if (top && top->modalViewController())
        return top->modalViewController().get();
    return top;
}

void NavigationController::loadView() {
    auto container = std::make_shared<NavigationContainerView>(Screen::mainScreen().applicationFrame(), this);
    container->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    container->setBackgroundColor(Color::whiteColor());
    container->setClipsToBounds(true);
    setView(container);
    container->addSubview(m_navigationBar);
    container->addSubview(m_toolbar);
    m_toolbar->setHidden(m_toolbarHidden);
    m_navigationBar->setHidden(m_navigationBarHidden);
    installTopView();
    updateBars();
}

Rect NavigationController::contentFrame() const {
    Rect b = const_cast<NavigationController*>(this)->view()->bounds();
    double top = m_navigationBarHidden ? 0 : NavigationBar::kHeight;
    double bottom = m_toolbarHidden ? 0 : Toolbar::kHeight;
    return Rect(0, top, b.width(), std::max(0.0, b.height() - top - bottom));
}

void NavigationController::layoutContainer() {
    Rect b = view()->bounds();
    m_navigationBar->setFrame(Rect(0, 0, b.width(), NavigationBar::kHeight));
    m_toolbar->setFrame(Rect(0, b.height() - Toolbar::kHeight, b.width(), Toolbar::kHeight));
    if (m_shownView && m_shownView->superview() == view().get())
        m_shownView->setFrame(contentFrame());
}

void NavigationController::installTopView() {
    if (!isViewLoaded())
        return;
    ViewController* top = topViewController();
    View* next = top ? top->view().get() : nullptr;
    if (m_shownView && m_shownView != next && m_shownView->superview() == view().get())
        m_shownView->removeFromSuperview();
    m_shownView = next;
    if (next) {
        next->setFrame(contentFrame());
        view()->insertSubviewBelow(next->sharedFromThis(), m_navigationBar.get());
    }
}

void NavigationController::updateBars() {
    if (!isViewLoaded())
        return;
    ViewController* top = topViewController();
    ViewController* previous = m_stack.size() >= 2 ? m_stack[m_stack.size() - 2].get() : nullptr;
    std::weak_ptr<ViewController> weak = weak_from_this();
    m_navigationBar->setItems(
        top ? &top->navigationItem() : nullptr, previous ? &previous->navigationItem() : nullptr, [weak] {
            if (auto self = std::static_pointer_cast<NavigationController>(weak.lock()))
                self->popViewControllerAnimated(true);
        });
    m_toolbar->setItems(top ? top->toolbarItems() : std::vector<std::shared_ptr<BarButtonItem>> {});
}

void NavigationController::toolbarItemsDidChange(ViewController& controller) {
    if (&controller == topViewController())
        updateBars();
}

void NavigationController::transition(ViewController* from, ViewController* to, bool animated, bool forward) {
    auto keep = shared_from_this();
    if (!isViewLoaded()) {
        return;
    }
    bool onScreen = isAppearing();
    if (to)
        to->view();
    if (onScreen) {
        if (from)
            from->beginAppearanceTransition(false, animated);
        if (to)
            to->beginAppearanceTransition(true, animated);
    }
    if (auto delegate = m_delegate.lock(); delegate && to)
        delegate->willShowViewController(*this, *to, animated);
    installTopView();
    updateBars();
    if (Window* window = view()->window(); window && animated && onScreen && from != to) {
        window->noteTransition(forward ? Window::Transition::Kind::Push : Window::Transition::Kind::Pop,
            view()->convertRectToView(view()->bounds(), nullptr));
    }
    if (onScreen) {
        if (from)
            from->endAppearanceTransition(animated);
        if (to)
            to->endAppearanceTransition(animated);
    }
    if (auto delegate = m_delegate.lock(); delegate && to)
        delegate->didShowViewController(*this, *to, animated);
}

void NavigationController::pushViewController(std::shared_ptr<ViewController> controller, bool animated) {
    if (!controller || std::find(m_stack.begin(), m_stack.end(), controller) != m_stack.end())
        return;
    ViewController* from = topViewController();
    m_stack.push_back(controller);
    adopt(controller);
    transition(from, controller.get(), animated, true);
}

std::shared_ptr<ViewController> NavigationController::popViewControllerAnimated(bool animated) {
    if (m_stack.size() < 2)
        return nullptr;
    auto popped = m_stack.back();
    m_stack.pop_back();
    transition(popped.get(), topViewController(), animated, false);
    release(popped);
    return popped;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToViewController(
    ViewController* controller, bool animated) {
    auto it = std::find_if(m_stack.begin(), m_stack.end(), [&](auto& c) { return c.get() == controller; });
    if (it == m_stack.end() || it + 1 == m_stack.end())
        return {};
    std::vector<std::shared_ptr<ViewController>> popped(it + 1, m_stack.end());
    auto from = m_stack.back();
    m_stack.erase(it + 1, m_stack.end());
    transition(from.get(), topViewController(), animated, false);
    for (auto& c : popped)
        release(c);
    return popped;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToRootViewControllerAnimated(
    bool animated) {
    if (m_stack.empty())
        return {};
    return popToViewController(m_stack.front().get(), animated);
}

void NavigationController::setViewControllers(
    std::vector<std::shared_ptr<ViewController>> controllers, bool animated) {
    auto from = m_stack.empty() ? nullptr : m_stack.back();
    auto old = m_stack;
    m_stack = std::move(controllers);
    for (auto& c : m_stack)
        adopt(c);
    ViewController* to = topViewController();
    // A screen that was on the old stack comes back; any other arrives.
    bool returning
        = std::find(old.begin(), old.end(), m_stack.empty() ? nullptr : m_stack.back()) != old.end();
    if (from.get() != to)
        transition(from.get(), to, animated, !returning);
    else
        updateBars();
    for (auto& c : old) {
        if (std::find(m_stack.begin(), m_stack.end(), c) == m_stack.end())
            release(c);
    }
}

void NavigationController::setNavigationBarHidden(bool hidden, bool) {
    m_navigationBarHidden = hidden;
    m_navigationBar->setHidden(hidden);
    if (isViewLoaded())
        layoutContainer();
}

void NavigationController::setToolbarHidden(bool hidden, bool) {
    m_toolbarHidden = hidden;
    m_toolbar->setHidden(hidden);
    if (isViewLoaded())
        layoutContainer();
}

void NavigationController::viewWillAppear(bool animated) {
    if (ViewController* top = topViewController())
        top->beginAppearanceTransition(true, animated);
}

void NavigationController::viewDidAppear(bool animated) {
    if (ViewController* top = topViewController())
        top->endAppearanceTransition(animated);
}

void NavigationController::viewWillDisappear(bool animated) {
    if (ViewController* top = topViewController())
        top->beginAppearanceTransition(false, animated);
}

void NavigationController::viewDidDisappear(bool animated) {
    if (ViewController* top = topViewController())
        top->endAppearanceTransition(animated);
}

bool NavigationController::shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) {
    ViewController* top = topViewController();
    return top ? top->shouldAutorotateToInterfaceOrientation(orientation)
               : ViewController::shouldAutorotateToInterfaceOrientation(orientation);
}

void NavigationController::rotate(InterfaceOrientation to, double duration, int phase) {
    ViewController::rotate(to, duration, phase);
    if (ViewController* top = topViewController())
        top->rotate(to, duration, phase);
}

void NavigationController::didReceiveMemoryWarning() {
    // The stack's own view stays while the stack is on screen; hidden screens below the top
    // are told by the application.
    ViewController::didReceiveMemoryWarning();
}

} // namespace platform::views
