#include "ui/ViewExtensions.h"

#include <memory>

#include "QLCoreLibrary/QLRoundedRectView.h"
#include "platform/views/ActivityIndicatorView.h"
#include "platform/views/Application.h"
#include "platform/views/Label.h"
#include "platform/views/Window.h"

using namespace platform::views;

namespace {

constexpr double kPanelHeight = 96;
constexpr double kPanelPadding = 20; // each side of the text
constexpr double kInset = 15;

Window* firstWindow() {
    const std::vector<Window*> windows = Application::sharedApplication().windows();
    return windows.empty() ? nullptr : windows.front();
}

} // namespace

void setBusy(bool busy, const std::optional<std::string>& text) {
    Window* window = firstWindow();
    if (!window)
        return;
    if (!busy) {
        if (View* panel = window->viewWithTag(kBusyOverlayTag); panel && panel != window)
            panel->removeFromSuperview();
        window->setUserInteractionEnabled(true);
        return;
    }

    auto panel = std::make_shared<QLRoundedRectView>();
    panel->setBackgroundColor(Color::white(0, 0.8));
    panel->setCornerRadius(10);
    panel->setTag(kBusyOverlayTag);
    auto spinner = std::make_shared<ActivityIndicatorView>(ActivityIndicatorViewStyle::WhiteLarge);
    panel->addSubview(spinner);
    const Size spinnerSize = spinner->frame().size;

    Rect spinnerFrame {0, 0, spinnerSize.width, spinnerSize.height};
    if (text) {
        auto label = std::make_shared<Label>();
        label->setTextColor(Color::whiteColor());
        label->setBackgroundColor(Color::clear());
        label->setText(*text);
        label->sizeToFit();
        const Size labelSize = label->frame().size;
        panel->setFrame({0, 0, labelSize.width + 2 * kPanelPadding, kPanelHeight});
        spinnerFrame.origin.y = kInset;
        label->setFrame({(panel->frame().width() - labelSize.width) / 2,
            kPanelHeight - kInset - labelSize.height, labelSize.width, labelSize.height});
        panel->addSubview(label);
    } else {
        panel->setFrame({0, 0, kPanelHeight, kPanelHeight});
        spinnerFrame.origin.y = (kPanelHeight - spinnerSize.height) / 2;
    }
    spinnerFrame.origin.x = (panel->frame().width() - spinnerSize.width) / 2;
    spinner->setFrame(spinnerFrame);
    spinner->startAnimating();

    window->addSubview(panel);
    window->bringSubviewToFront(panel.get());
    panel->setCenter(window->bounds().center());
    window->setUserInteractionEnabled(false);
}
