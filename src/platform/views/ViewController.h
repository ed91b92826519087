#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/views/BarButtonItem.h"
#include "platform/views/LayoutRegistry.h"
#include "platform/views/NavigationItem.h"
#include "platform/views/Window.h"

namespace platform::views {

class NavigationController;

// Manages one screen: its view (made on first use), its navigation item and the
// appearance calls.
//
// The view is made lazily by loadView: override it, or give the controller a layout (a
// function that builds the views, see LayoutRegistry.h) by name or directly. The default loadView
// makes a plain white view of the application frame and then runs the layout. viewDidLoad
// follows.
//
// Appearance calls (viewWillAppear, viewDidAppear, viewWillDisappear, viewDidDisappear)
// come from whoever shows the view: the window for its root controller, a navigation
// controller for its stack, presentModalViewController for modal screens. Each is called
// once per transition.
class ViewController : public std::enable_shared_from_this<ViewController> {
public:
    using Layout = LayoutFunction;

    ViewController();
    // Uses the layout registered under `layoutName` (LayoutRegistry.h); an unknown name gives the
    // plain view.
    explicit ViewController(const std::string& layoutName);
    // A screen that brings its own layout: registered under `layoutName` unless one is
    // registered there already (a test's stand-in, say), then used as above.
    ViewController(const std::string& layoutName, const Layout& layout);
    virtual ~ViewController();
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    // The view, loaded on first use.
    std::shared_ptr<View> view();
    bool isViewLoaded() const { return m_view != nullptr; }
    void setView(std::shared_ptr<View> view);
    void setLayout(Layout layout) { m_layout = std::move(layout); }
    const std::string& layoutName() const { return m_layoutName; }

    virtual void loadView();
    virtual void viewDidLoad() { }
    virtual void viewDidUnload() { }
    virtual void viewWillAppear(bool animated) { }
    virtual void viewDidAppear(bool animated) { }
    virtual void viewWillDisappear(bool animated) { }
    virtual void viewDidDisappear(bool animated) { }
    // Releases the view when it is not on screen (then viewDidUnload).
    virtual void didReceiveMemoryWarning();

    const std::string& title() const { return m_title; }
    // Also the navigation item's title.
    virtual void setTitle(std::string title);
    NavigationItem& navigationItem() { return m_navigationItem; }
    const NavigationItem& navigationItem() const { return m_navigationItem; }

    // The navigation controller on whose stack this controller (or the controller whose
    // view holds this one's view) is, or none.
    NavigationController* navigationController() const;
    // The controller that presented this one, or the container holding it.
    ViewController* parentViewController() const { return m_parent; }
    void setParentViewController(ViewController* parent) { m_parent = parent; }
    void setNavigationController(NavigationController* controller) { m_navigationController = controller; }

    // Modal screens: the presented controller's view covers the window until dismissed.
    const std::shared_ptr<ViewController>& modalViewController() const { return m_modal; }
    void presentModalViewController(std::shared_ptr<ViewController> controller, bool animated);
    // Dismisses the controller this one presented; called on a presented controller that
    // presents nothing, dismisses that controller itself.
    void dismissModalViewControllerAnimated(bool animated);

    // Editing.
    bool isEditing() const { return m_editing; }
    virtual void setEditing(bool editing, bool animated);
    // An Edit button that toggles editing and reads Done while editing.
    std::shared_ptr<BarButtonItem> editButtonItem();

    // Orientation.
    InterfaceOrientation interfaceOrientation() const { return m_orientation; }
    virtual bool shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) {
        return orientation == InterfaceOrientation::Portrait;
    }
    virtual void willRotateToInterfaceOrientation(InterfaceOrientation orientation, double duration) { }
    virtual void willAnimateRotationToInterfaceOrientation(
        InterfaceOrientation orientation, double duration) { }
    virtual void didRotateFromInterfaceOrientation(InterfaceOrientation from) { }

    // Toolbar items, shown by a navigation controller whose toolbar is visible.
    const std::vector<std::shared_ptr<BarButtonItem>>& toolbarItems() const { return m_toolbarItems; }
    void setToolbarItems(std::vector<std::shared_ptr<BarButtonItem>> items, bool animated = false);

    // The controller that decides about rotation and whose screen is on top: containers
    // answer their visible child.
    virtual ViewController* visibleChildViewController() { return nullptr; }

    // Called by containers and the window: guarded so that each transition is told once.
    void beginAppearanceTransition(bool appearing, bool animated);
    void endAppearanceTransition(bool animated);
    bool isAppearing() const {
        return m_appearance == Appearance::Appearing || m_appearance == Appearance::Visible;
    }
    bool isVisible() const { return m_appearance == Appearance::Visible; }
    // Rotation calls, passed on to visible children by containers.
    virtual void rotate(InterfaceOrientation to, double duration, int phase);

    std::string description() const;

    // The action of a button or bar button of this screen: calls `method` while the screen
    // exists and keeps the screen alive until the call returns, so that an action may pop,
    // dismiss or otherwise let go of its own screen. Make actions once the screen is owned
    // by a shared pointer (in a layout or viewDidLoad), never in a constructor.
    template<class C, class... Args> std::function<void(Args...)> action(void (C::*method)(Args...)) {
        static_assert(std::is_base_of_v<ViewController, C>);
        std::weak_ptr<ViewController> weak = weak_from_this();
        if (weak.expired())
            throw std::logic_error("ViewController::action needs the screen owned by a shared_ptr");
        return [weak, method](Args... args) {
            if (std::shared_ptr<ViewController> self = weak.lock())
                (static_cast<C*>(self.get())->*method)(std::forward<Args>(args)...);
        };
    }

protected:
    // Called by the base when the container changes the controller's parent.
    std::shared_ptr<ViewController> self() { return shared_from_this(); }

private:
    enum class Appearance { Hidden, Appearing, Visible, Disappearing };

    std::shared_ptr<View> m_view;
    std::string m_layoutName;
    Layout m_layout;
    std::string m_title;
    NavigationItem m_navigationItem;
    NavigationController* m_navigationController {nullptr};
    ViewController* m_parent {nullptr};
    std::shared_ptr<ViewController> m_modal;
    bool m_editing {false};
    std::shared_ptr<BarButtonItem> m_editButtonItem;
    InterfaceOrientation m_orientation {InterfaceOrientation::Portrait};
    std::vector<std::shared_ptr<BarButtonItem>> m_toolbarItems;
    Appearance m_appearance {Appearance::Hidden};
};

} // namespace platform::views
