#include "ui/VTTabBar.h"

#include "QLCoreLibrary/ImageExtensions.h"
#include "QLCoreLibrary/QLRoundedRectView.h"
#include "platform/views/Label.h"
#include "platform/views/NavigationController.h"
#include "platform/views/ViewController.h"
#include "ui/ThemeStyling.h"
#include "ui/VehiclePages.h"

using namespace platform::views;

namespace {

int g_selectedButton = VehiclePages::kCar;

const char* titleOf(int tag) {
    switch (tag) {
    case VehiclePages::kServices:
        return "Services";
    case VehiclePages::kRepairs:
        return "Repairs";
    case VehiclePages::kFuel:
        return "Fuel";
    case VehiclePages::kReports:
        return "Reports";
    default:
        return "Car";
    }
}

} // namespace

VTTabBar::VTTabBar(Rect frame)
    : View(frame) {
    loadView();
}

int VTTabBar::selectedButton() {
    return g_selectedButton;
}

void VTTabBar::setSelectedButton(int tag) {
    g_selectedButton = tag;
}

void VTTabBar::loadView() {
    std::vector<int> tags {VehiclePages::kCar};
    for (int tag : VehiclePages::pages())
        tags.push_back(tag);
    const double n = double(tags.size());
    const double W = frame().width(), H = frame().height();
    const double w = (W - 11 * n) / n;
    m_selector = std::make_shared<QLRoundedRectView>(Rect(0, 2, w, H - 4));
    m_selector->setCornerRadius(10);
    addSubview(m_selector);
    for (size_t i = 0; i < tags.size(); ++i) {
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({10 + double(i) * (w + 10), 2, w, H - 4});
        button->setTitle(titleOf(tags[i]));
        button->setTitleColor(Color::whiteColor());
        button->setTitleShadowColor(Color::black());
        button->titleLabel().setFont(platform::graphics::Font::boldSystemFontOfSize(10));
        button->titleLabel().setShadowOffset({1, 1});
        button->setTag(tags[i]);
        int tag = tags[i];
        // The buttons belong to the bar, so they never outlive it.
        button->addTarget([this, tag] { buttonPressed(tag); }, ControlEventTouchUpInside);
        addSubview(button);
        m_buttons.push_back(button);
    }
    selectButton(false);
}

Button* VTTabBar::buttonWithTag(int tag) const {
    for (const auto& button : m_buttons) {
        if (button->tag() == tag)
            return button.get();
    }
    return nullptr;
}

ViewController* VTTabBar::ownPage() const {
    for (const View* view = this; view; view = view->superview()) {
        if (ViewController* controller = view->viewController())
            return controller;
    }
    return nullptr;
}

void VTTabBar::setVehicle(Vehicle vehicle) {
    m_vehicle = std::move(vehicle);
    // The page the bar is on decides, so that coming back to a page shows its own tab.
    if (auto* page = dynamic_cast<VTTabPage*>(ownPage()))
        g_selectedButton = page->tabBarTag();
    selectButton(false);
}

void VTTabBar::setBackgroundColor(std::optional<Color> color) {
    const double H = frame().height();
    if (color)
        setBackgroundPatternImage(stretchableGlossyImageWithColor(*color, H, 0));
    m_selector->setFillPattern(stretchableGlossyImageWithColor(ThemeStyling::thirdColor(), H - 4, 0));
    setNeedsDisplay();
}

void VTTabBar::buttonPressed(int tag) {
    if (m_switching || tag == g_selectedButton)
        return;
    g_selectedButton = tag;
    m_switching = true;
    selectButton(true);
}

void VTTabBar::selectButton(bool animated) {
    Button* button = buttonWithTag(g_selectedButton);
    if (!button)
        return;
    Rect target = button->frame();
    auto selector = m_selector;
    if (!animated) {
        selector->setFrame(target);
        return;
    }
    std::weak_ptr<View> weak = weak_from_this();
    View::animate(
        0.25, AnimationCurve::EaseOut, [selector, target] { selector->setFrame(target); },
        [weak](bool) {
            if (auto bar = std::static_pointer_cast<VTTabBar>(weak.lock()))
                bar->switchPage();
        });
}

void VTTabBar::switchPage() {
    auto keep = shared_from_this();
    m_switching = false;
    ViewController* page = ownPage();
    NavigationController* navigation = page ? page->navigationController() : nullptr;
    // Only the bar's own page is replaced, and only while it is on top.
    if (!navigation || navigation->topViewController() != page)
        return;
    std::shared_ptr<ViewController> keepPage = page->shared_from_this();
    if (g_selectedButton == VehiclePages::kCar) {
        navigation->popViewControllerAnimated(true);
        return;
    }
    std::shared_ptr<ViewController> next = VehiclePages::makePage(g_selectedButton, m_vehicle);
    if (!next)
        return;
    navigation->popViewControllerAnimated(false);
    navigation->pushViewController(next, true);
}
