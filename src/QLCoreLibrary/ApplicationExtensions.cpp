#include "QLCoreLibrary/ApplicationExtensions.h"

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/ValueText.h"
#include "platform/graphics/Image.h"
#include "platform/views/Button.h"
#include "platform/views/Label.h"
#include "platform/views/TextField.h"
#include "platform/views/Window.h"

using namespace platform::views;
using platform::graphics::Font;
using platform::graphics::Image;

namespace {

TextField* textEntry(View* view) {
    return dynamic_cast<TextField*>(view);
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

View* firstResponder(Application& application) {
    return application.firstResponder();
}

View* keyboardView(Application& application) {
    const std::vector<Window*> windows = application.windows();
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        for (const auto& subview : (*window)->subviews()) {
            const std::string description = subview->description();
            if (startsWith(description, "<UIKeyboard") || startsWith(description, "<UIPeripheralHostView"))
                return subview.get();
        }
    }
    return nullptr;
}

void addStockButtonToKeypad(Application& application) {
    TextField* entry = textEntry(firstResponder(application));
    if (!entry)
        return;
    const std::string title = entry->returnKeyType() == ReturnKeyType::Done ? "Done" : GetDecimalSeparator();
    Application* app = &application;
    addAuxButtonToKeypadWithTitle(application, title, [app] { auxButtonPressed(*app); });
}

void addAuxButtonToKeypadWithTitle(
    Application& application, const std::string& title, std::function<void()> action) {
    TextField* entry = textEntry(firstResponder(application));
    if (!entry)
        return;
    View* keyboard = keyboardView(application);
    if (!keyboard)
        return;
    while (View* earlier = keyboard->viewWithTag(kKeypadAuxButtonTag)) {
        if (earlier == keyboard)
            break;
        earlier->removeFromSuperview();
    }
    if (entry->keyboardType() != KeyboardType::NumberPad)
        return;

    auto button = Button::buttonWithType(ButtonType::Custom);
    button->setFrame({0, 163, 105, 53});
    button->setTag(kKeypadAuxButtonTag);
    button->setBackgroundImage(
        Image::imageNamed("KeyPadButtonNormal.png").stretchableImageWithLeftCapWidth(0, 0),
        ControlStateNormal);
    button->setBackgroundImage(
        Image::imageNamed("KeyPadButtonPressed.png").stretchableImageWithLeftCapWidth(0, 0),
        ControlStateHighlighted);
    button->setTitle(title, ControlStateNormal);
    button->setTitleColor(colorWithHex(0x5B6270), ControlStateNormal);
    button->setTitleShadowColor(Color::whiteColor(), ControlStateNormal);
    button->setTitleColor(Color::whiteColor(), ControlStateHighlighted);
    button->setTitleShadowColor(Color::clear(), ControlStateHighlighted);
    button->titleLabel().setShadowOffset({1, 1});
    button->titleLabel().setFont(Font::boldSystemFontOfSize(20));
    if (action)
        button->addTarget(std::move(action), ControlEventTouchUpInside);
    keyboard->addSubview(button);
}

void auxButtonPressed(Application& application) {
    TextField* entry = textEntry(firstResponder(application));
    if (!entry)
        return;
    if (entry->returnKeyType() != ReturnKeyType::Default) {
        entry->resignFirstResponder();
        return;
    }
    const std::string separator = GetDecimalSeparator();
    if (entry->text().find(separator) == std::string::npos)
        entry->setText(entry->text() + separator);
}
