#pragma once

#include <memory>
#include <vector>

#include "platform/views/NavigationBar.h"
#include "platform/views/Toolbar.h"
#include "platform/views/ViewController.h"

namespace platform::views {

class NavigationController;

// Told around every change of the screen on top. Both operations are optional.
class NavigationControllerDelegate {
public:
    virtual ~NavigationControllerDelegate() = default;
    virtual void willShowViewController(NavigationController&, ViewController&, bool animated) { }
    virtual void didShowViewController(NavigationController&, ViewController&, bool animated) { }
};

// A stack of screens under a navigation bar, with an optional toolbar at the bottom.
//
// Changing the top screen while the stack is on screen tells the leaving screen
// viewWillDisappear and the arriving one viewWillAppear, swaps their views, then tells
// viewDidDisappear and viewDidAppear (a screen's view is loaded, with viewDidLoad, before
// any of that). Popping several screens at once tells only the top one. A popped screen's
// navigationController() is none afterwards.
class NavigationController : public ViewController {
public:
    explicit NavigationController(std::shared_ptr<ViewController> rootViewController = nullptr);
    ~NavigationController() override;

    void pushViewController(std::shared_ptr<ViewController> controller, bool animated);
    // Returns the popped controller; none at the root.
    std::shared_ptr<ViewController> popViewControllerAnimated(bool animated);
    // Pops everything above `controller` (which must be on the stack).
    std::vector<std::shared_ptr<ViewController>> popToViewController(
        ViewController* controller, bool animated);
    std::vector<std::shared_ptr<ViewController>> popToRootViewControllerAnimated(bool animated);
    void setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers, bool animated);
    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return m_stack; }
    ViewController* topViewController() const { return m_stack.empty() ? nullptr : m_stack.back().get(); }
    // The top controller, or the controller it presents modally.
    ViewController* visibleViewController() const;

    NavigationBar& navigationBar();
    bool isNavigationBarHidden() const { return m_navigationBarHidden; }
    void setNavigationBarHidden(bool hidden, bool animated = false);
    Toolbar& toolbar();
    bool isToolbarHidden() const { return m_toolbarHidden; }
    void setToolbarHidden(bool hidden, bool animated = false);
    void toolbarItemsDidChange(ViewController& controller);

    // Held weakly: one that has gone is not called.
    std::shared_ptr<NavigationControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<NavigationControllerDelegate> delegate) {
        m_delegate = std::move(delegate);
    }

    // The area the top screen's view fills, in the navigation controller's view.
    Rect contentFrame() const;

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) override;
    ViewController* visibleChildViewController() override { return topViewController(); }
    void rotate(InterfaceOrientation to, double duration, int phase) override;
    void didReceiveMemoryWarning() override;

    // Lays the bar, the top view and the toolbar out (the container view calls it).
    void layoutContainer();

private:
    void adopt(const std::shared_ptr<ViewController>& controller);
    void release(const std::shared_ptr<ViewController>& controller);
    void transition(ViewController* from, ViewController* to, bool animated, bool forward);
    void installTopView();
    void updateBars();

    std::vector<std::shared_ptr<ViewController>> m_stack;
    std::shared_ptr<NavigationBar> m_navigationBar;
    std::shared_ptr<Toolbar> m_toolbar;
    bool m_navigationBarHidden {false};
    bool m_toolbarHidden {true};
    std::weak_ptr<NavigationControllerDelegate> m_delegate;
    View* m_shownView {nullptr};
};

} // namespace platform::views
