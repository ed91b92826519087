#pragma once

#include <memory>

#include <string>

#include "platform/graphics/Font.h"
#include "platform/views/KeyInput.h"
#include "platform/views/ScrollView.h"
#include "platform/views/TextField.h"

namespace platform::views {

class TextView;

// What a text view asks and tells its delegate. Every operation is optional.
class TextViewDelegate {
public:
    virtual ~TextViewDelegate() = default;
    virtual bool textViewShouldBeginEditing(TextView&) { return true; }
    virtual void textViewDidBeginEditing(TextView&) { }
    virtual bool textViewShouldEndEditing(TextView&) { return true; }
    virtual void textViewDidEndEditing(TextView&) { }
    // Asked before every typed change (the return key types "\n").
    virtual bool shouldChangeTextInRange(TextView&, TextRange range, const std::string& replacement) {
        return true;
    }
    virtual void textViewDidChange(TextView&) { }
};

// Scrolling multi-line text (notes). Editable by default: a tap gives it the keyboard,
// typing goes through the delegate's shouldChangeTextInRange, the return key starts a new
// line. The content grows with the text and follows the end while typing.
class TextView : public ScrollView, public KeyInput {
public:
    TextView();
    explicit TextView(Rect frame);

    const std::string& text() const override { return m_text; }
    void setText(std::string text);
    const graphics::Font& font() const { return m_font; }
    void setFont(graphics::Font font);
    Color textColor() const { return m_textColor; }
    void setTextColor(Color color);
    TextAlignment textAlignment() const { return m_textAlignment; }
    void setTextAlignment(TextAlignment alignment);
    bool isEditable() const { return m_editable; }
    void setEditable(bool editable);
    bool isEditing() const { return m_editing; }

    KeyboardType keyboardType() const { return m_traits.keyboardType; }
    void setKeyboardType(KeyboardType type) { m_traits.keyboardType = type; }
    ReturnKeyType returnKeyType() const { return m_traits.returnKeyType; }
    void setReturnKeyType(ReturnKeyType type) { m_traits.returnKeyType = type; }
    AutocapitalizationType autocapitalizationType() const { return m_traits.autocapitalizationType; }
    void setAutocapitalizationType(AutocapitalizationType type) { m_traits.autocapitalizationType = type; }

    // Held weakly: one that has gone is not called.
    std::shared_ptr<TextViewDelegate> textViewDelegate() const { return m_delegate.lock(); }
    void setTextViewDelegate(std::weak_ptr<TextViewDelegate> delegate) { m_delegate = std::move(delegate); }

    // Where the text is drawn (the view's width less the padding).
    Rect textRect() const;

    // KeyInput
    const TextInputTraits& textInputTraits() const override { return m_traits; }
    bool hasText() const override { return !m_text.empty(); }
    void insertText(const std::string& text) override;
    void deleteBackward() override;

    bool canBecomeFirstResponder() const override { return m_editable; }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void didBecomeFirstResponder() override;
    void didResignFirstResponder() override;

    void drawRect(graphics::Context& context, Rect rect) override;
    void setFrame(Rect frame) override;

protected:
    void didTap(Touch& touch) override;

private:
    void replace(TextRange range, const std::string& replacement);
    void updateContentSize();

    std::string m_text;
    graphics::Font m_font {graphics::Font::systemFontOfSize(17)};
    Color m_textColor {Color::black()};
    TextAlignment m_textAlignment {TextAlignment::Left};
    bool m_editable {true};
    bool m_editing {false};
    TextInputTraits m_traits;
    std::weak_ptr<TextViewDelegate> m_delegate;
};

} // namespace platform::views
