#include "platform/views/ViewController.h"

#include <cstdio>
#include <cxxabi.h>
#include <typeinfo>

#include "platform/views/Application.h"
#include "platform/views/NavigationController.h"
#include "platform/views/Screen.h"
#include "platform/views/Window.h"

namespace platform::views {

ViewController::ViewController() = default;

ViewController::ViewController(const std::string& layoutName)
    : m_layoutName(layoutName)
    , m_layout(LayoutRegistry::layoutNamed(layoutName)) { }

ViewController::ViewController(const std::string& layoutName, const Layout& layout)
    : m_layoutName(layoutName) {
    // Registered on first use: a registration from a static initialiser in a static library
    // might never be linked in.
    if (!LayoutRegistry::hasLayout(layoutName))
        LayoutRegistry::registerLayout(layoutName, layout);
    m_layout = LayoutRegistry::layoutNamed(layoutName);
}

ViewController::~ViewController() {
    if (m_view && m_view->viewController() == this)
        m_view->setViewController(nullptr);
    if (m_modal && m_modal->m_parent == this)
        m_modal->m_parent = nullptr;
}

std::shared_ptr<View> ViewController::view() {
    if (!m_view) {
        loadView();
        if (!m_view)
            setView(std::make_shared<View>(Screen::mainScreen().applicationFrame()));
        viewDidLoad();
    }
    return m_view;
}

void ViewController::setView(std::shared_ptr<View> view) {
    if (m_view && m_view->viewController() == this)
        m_view->setViewController(nullptr);
    m_view = std::move(view);
    if (m_view)
        m_view->setViewController(this);
}

void ViewController::loadView() {
    auto view = std::make_shared<View>(Screen::mainScreen().applicationFrame());
    view->setBackgroundColor(Color::whiteColor());
    view->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    setView(view);
    if (m_layout)
        m_layout(*this);
}

void ViewController::didReceiveMemoryWarning() {
    if (!m_view || m_view->window())
        return;
    setView(nullptr);
    viewDidUnload();
}

void ViewController::setTitle(std::string title) {
    m_title = std::move(title);
    m_navigationItem.setTitle(m_title);
}

NavigationController* ViewController::navigationController() const {
    if (m_navigationController)
        return m_navigationController;
    if (m_parent && m_parent->m_modal.get() != this)
        return m_parent->navigationController();
    // A controller whose view was laid into another controller's view belongs to that
    // controller's navigation stack.
    if (m_view) {
        for (View* v = m_view->superview(); v; v = v->superview()) {
            if (ViewController* owner = v->viewController(); owner && owner != this)
                return owner->navigationController();
        }
    }
    return nullptr;
}

void ViewController::presentModalViewController(std::shared_ptr<ViewController> controller, bool animated) {
    if (!controller || m_modal)
        return;
    // The topmost presented controller presents; a controller that already presents one
    // passes the request up the chain.
    Window* window = nullptr;
    for (ViewController* c = this; c && !window; c = c->m_parent) {
        if (c->m_view)
            window = c->m_view->window();
    }
    if (!window)
        window = Application::sharedApplication().keyWindow();
    if (!window)
        return;
    auto keep = shared_from_this();
    ViewController* below = window->topPresentedController();
    m_modal = controller;
    controller->m_parent = this;
    controller->view();
    if (below)
        below->beginAppearanceTransition(false, animated);
    controller->beginAppearanceTransition(true, animated);
    window->showPresentedView(*controller);
    if (animated)
        window->noteTransition(Window::Transition::Kind::Present, window->applicationFrame());
    if (below)
        below->endAppearanceTransition(animated);
    controller->endAppearanceTransition(animated);
}

void ViewController::dismissModalViewControllerAnimated(bool animated) {
    if (!m_modal) {
        // A presented controller may dismiss itself.
        if (m_parent && m_parent->m_modal.get() == this)
            m_parent->dismissModalViewControllerAnimated(animated);
        return;
    }
    auto keep = shared_from_this();
    auto modal = m_modal;
    // Screens presented over the one being dismissed go with it.
    if (modal->m_modal)
        modal->dismissModalViewControllerAnimated(false);
    Window* window = modal->m_view ? modal->m_view->window() : nullptr;
    if (!window) {
        m_modal.reset();
        modal->m_parent = nullptr;
        return;
    }
    modal->beginAppearanceTransition(false, animated);
    window->hidePresentedView(*modal);
    if (animated)
        window->noteTransition(Window::Transition::Kind::Dismiss, window->applicationFrame());
    ViewController* below = window->topPresentedController();
    if (below)
        below->beginAppearanceTransition(true, animated);
    m_modal.reset();
    modal->m_parent = nullptr;
    modal->endAppearanceTransition(animated);
    if (below)
        below->endAppearanceTransition(animated);
}

void ViewController::setEditing(bool editing, bool) {
    m_editing = editing;
    if (m_editButtonItem) {
        m_editButtonItem->setTitle(editing ? "Done" : "Edit");
        m_editButtonItem->setStyle(editing ? BarButtonItemStyle::Done : BarButtonItemStyle::Bordered);
    }
}

std::shared_ptr<BarButtonItem> ViewController::editButtonItem() {
    if (!m_editButtonItem) {
        // The button must not keep its controller alive.
        std::weak_ptr<ViewController> weak = weak_from_this();
        m_editButtonItem = std::make_shared<BarButtonItem>(BarButtonSystemItem::Edit, [weak] {
            if (auto self = weak.lock())
                self->setEditing(!self->isEditing(), true);
        });
        if (m_editing) {
            m_editButtonItem->setTitle("Done");
            m_editButtonItem->setStyle(BarButtonItemStyle::Done);
        }
    }
    return m_editButtonItem;
}

void ViewController::setToolbarItems(std::vector<std::shared_ptr<BarButtonItem>> items, bool) {
    m_toolbarItems = std::move(items);
    if (auto* nav = navigationController())
        nav->toolbarItemsDidChange(*this);
}

void ViewController::beginAppearanceTransition(bool appearing, bool animated) {
    if (appearing) {
        if (m_appearance == Appearance::Appearing || m_appearance == Appearance::Visible)
            return;
        view();
        m_appearance = Appearance::Appearing;
        viewWillAppear(animated);
    } else {
        if (m_appearance == Appearance::Hidden || m_appearance == Appearance::Disappearing)
            return;
        m_appearance = Appearance::Disappearing;
        viewWillDisappear(animated);
    }
}

void ViewController::endAppearanceTransition(bool animated) {
    if (m_appearance == Appearance::Appearing) {
        m_appearance = Appearance::Visible;
        viewDidAppear(animated);
    } else if (m_appearance == Appearance::Disappearing) {
        m_appearance = Appearance::Hidden;
        viewDidDisappear(animated);
    }
}

void ViewController::rotate(InterfaceOrientation to, double duration, int phase) {
    switch (phase) {
    case 0:
        willRotateToInterfaceOrientation(to, duration);
        break;
    case 1: {
        m_orientation = to;
        willAnimateRotationToInterfaceOrientation(to, duration);
        break;
    }
    default:
        didRotateFromInterfaceOrientation(to);
        break;
    }
    if (m_modal)
        m_modal->rotate(to, duration, phase);
}

std::string ViewController::description() const {
    int status = 0;
    char* demangled = abi::__cxa_demangle(typeid(*this).name(), nullptr, nullptr, &status);
    std::string name = status == 0 && demangled ? demangled : typeid(*this).name();
    std::free(demangled);
    if (auto colon = name.rfind("::"); colon != std::string::npos)
        name = name.substr(colon + 2);
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    return "<" + name + ": " + address + ">";
}

} // namespace platform::views
