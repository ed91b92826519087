#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/views/TextField.h"
#include "platform/views/View.h"

// A distance reading drawn like a mechanical odometer: six white digits in cells on a dark
// rounded drum. Read-only by default; made editable, a tap opens the number pad of a hidden
// text entry and every keystroke updates the drum.
//
// The view's height is always a fifth of its width. It stays clear and non-opaque whatever
// a caller sets. The hidden entry's text mirrors `value` ("%d"); its editing events (begin,
// end, return) are passed on to `delegate`, whose callbacks receive the hidden entry (its
// superview is the odometer, its tag the odometer's tag).
class OdometerView : public platform::views::View {
public:
    OdometerView();
    // The frame passes through setFrame, so the shape rule applies.
    explicit OdometerView(platform::views::Rect frame);
    // As built from a layout: the loaded frame with its height replaced by a fifth of its
    // width (a zero width gives a zero height).
    static std::shared_ptr<OdometerView> fromLayoutFrame(platform::views::Rect frame);

    // -1 means no reading: the drum shows dashes (so does 0).
    std::int32_t value() const { return m_value; }
    // Equal values do nothing; otherwise the hidden entry's text follows and the drum redraws.
    void setValue(std::int32_t value);

    bool editable() const { return isUserInteractionEnabled(); }
    void setEditable(bool editable) { setUserInteractionEnabled(editable); }

    // Held weakly: one that has gone is not called.
    std::shared_ptr<platform::views::TextFieldDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<platform::views::TextFieldDelegate> delegate) {
        m_delegate = std::move(delegate);
    }

    // The entry that takes the keyboard.
    platform::views::TextField& hiddenTextField() const { return *m_hiddenTextField; }

    // The text the drum shows: "%06d" of a reading of 1 or more, else "------".
    std::string displayText() const;

    // View
    void setFrame(platform::views::Rect frame) override;
    void setBackgroundColor(std::optional<platform::views::Color>) override { }
    void setOpaque(bool) override { }
    void setTag(int tag) override;
    bool becomeFirstResponder() override;
    void touchesEnded(platform::views::Touch& touch) override;
    void drawRect(platform::graphics::Context& context, platform::views::Rect rect) override;

    // The editing-changed action of the hidden entry.
    void editingDidChange();

    // The leading integer of a text as a 32-bit number, the way the phone's intValue reads
    // it: leading spaces and a sign allowed, reading stops at the first non-digit, values
    // beyond the range are clamped, no number gives 0.
    static std::int32_t intValue(const std::string& text);

private:
    // The hidden entry's delegate, owned by the odometer: digits only, at most six,
    // deleting to no reading; the editing events go on to the odometer's delegate.
    class Entry;
    void init();

    std::int32_t m_value {0};
    std::shared_ptr<platform::views::TextField> m_hiddenTextField;
    std::shared_ptr<Entry> m_entry;
    std::weak_ptr<platform::views::TextFieldDelegate> m_delegate;
};
