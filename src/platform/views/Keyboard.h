#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/base/Value.h"
#include "platform/views/KeyInput.h"
#include "platform/views/View.h"

namespace platform::views {

class Control;
class KeyboardKey;

// Keyboard notifications, posted through platform::NotificationCenter's default center
// whenever an entry takes the keyboard (show) or the keyboard goes away (hide). Their
// userInfo carries the keyboard's frames in window coordinates (read them with
// keyboardFrameFromUserInfo), the animation duration and curve.
inline constexpr const char* kKeyboardWillShowNotification = "UIKeyboardWillShowNotification";
inline constexpr const char* kKeyboardDidShowNotification = "UIKeyboardDidShowNotification";
inline constexpr const char* kKeyboardWillHideNotification = "UIKeyboardWillHideNotification";
inline constexpr const char* kKeyboardDidHideNotification = "UIKeyboardDidHideNotification";
inline constexpr const char* kKeyboardFrameBeginUserInfoKey = "UIKeyboardFrameBeginUserInfoKey";
inline constexpr const char* kKeyboardFrameEndUserInfoKey = "UIKeyboardFrameEndUserInfoKey";
inline constexpr const char* kKeyboardBoundsUserInfoKey = "UIKeyboardBoundsUserInfoKey";
inline constexpr const char* kKeyboardAnimationDurationUserInfoKey = "UIKeyboardAnimationDurationUserInfoKey";
inline constexpr const char* kKeyboardAnimationCurveUserInfoKey = "UIKeyboardAnimationCurveUserInfoKey";

// A rectangle as a notification value ({x, y, width, height}) and back.
Value valueWithRect(Rect rect);
Rect rectFromValue(const Value& value);
// The frame under `key` of a keyboard notification's userInfo (an empty rect when absent).
Rect keyboardFrameFromUserInfo(
    const Dictionary& userInfo, const std::string& key = kKeyboardFrameEndUserInfoKey);

// The on-screen keyboard, a direct subview of the window while an entry has it. It is
// rebuilt for every entry that takes it: the number pad (digits, delete and a blank
// bottom-left key), the decimal pad (the locale's separator bottom-left), or a letter
// keyboard (with numbers and punctuation behind its "123" key). Its keys are ordinary
// subviews, so an application may lay a button of its own over one.
//
// Everything typed, by tapping keys or forwarded by the host, reaches the entry through its
// KeyInput calls, so the entry's delegate rules apply to every key press.
class Keyboard : public View {
public:
    explicit Keyboard(Rect frame = Rect(0, 264, 320, 216));

    // Rebuilds the keys for `input` (whose view is `inputView`); subviews added by an
    // application to an earlier keyboard are dropped.
    void configureFor(KeyInput& input, const std::shared_ptr<View>& inputView);
    void detach();
    KeyInput* input() const;
    KeyboardType keyboardType() const { return m_type; }

    // Typing as the host forwards it: characters are typed as given, except on a pad, where
    // "." and "," press the key in the bottom-left place (the locale's separator, or the key an
    // application laid there) and return presses an application's key there ("Done").
    void typeText(const std::string& text);
    void pressDelete();
    void pressReturn();

    // The key with the given title on the current layout ("7", "q", "return", "delete",
    // "shift", "123", "space", "" for the blank key), or none.
    KeyboardKey* keyWithTitle(const std::string& title) const;
    const std::vector<std::shared_ptr<KeyboardKey>>& keys() const { return m_keys; }
    // On a pad, the key in the bottom-left place that acts: one an application laid over the
    // blank key, else the pad's own (a separator or "+"); none elsewhere.
    Control* keyOverBlankPlace() const;
    bool isShifted() const { return m_shift; }
    bool isShowingNumbers() const { return m_numbers; }

    // Phone code finds the keyboard by this class name in the window's subviews.
    std::string className() const override { return "UIKeyboard"; }

    void layoutSubviews() override;
    void drawRect(graphics::Context& context, Rect rect) override;

private:
    void rebuild();
    void buildPad(bool decimal);
    void buildLetters();
    std::shared_ptr<KeyboardKey> addKey(int kind, const std::string& text, int face);
    void keyPressed(KeyboardKey& key);
    void updateAutomaticShift();
    bool isPad() const;

    std::weak_ptr<View> m_inputView;
    KeyInput* m_input {nullptr};
    KeyboardType m_type {KeyboardType::Default};
    ReturnKeyType m_returnKey {ReturnKeyType::Default};
    AutocapitalizationType m_autocapitalization {AutocapitalizationType::None};
    std::vector<std::shared_ptr<KeyboardKey>> m_keys;
    bool m_shift {false};
    bool m_shiftLocked {false};
    bool m_numbers {false};
};

} // namespace platform::views
