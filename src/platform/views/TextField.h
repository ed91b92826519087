#pragma once

#include <memory>
#include <string>

#include "platform/graphics/Font.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/TextLayout.h"
#include "platform/views/Control.h"
#include "platform/views/KeyInput.h"

namespace platform::views {

class TextField;
using graphics::Font;
using graphics::TextAlignment;

// A span of a UTF-8 text, in bytes.
struct TextRange {
    size_t location {0};
    size_t length {0};
    bool operator==(const TextRange&) const = default;
};

// What a text field asks and tells its delegate. Every operation is optional.
class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate() = default;
    virtual bool textFieldShouldBeginEditing(TextField&) { return true; }
    virtual void textFieldDidBeginEditing(TextField&) { }
    virtual bool textFieldShouldEndEditing(TextField&) { return true; }
    virtual void textFieldDidEndEditing(TextField&) { }
    // Asked before every typed change: `range` of the current text is to be replaced by
    // `replacement` (empty for a deletion). Answering false drops the key press.
    virtual bool shouldChangeCharactersInRange(TextField&, TextRange range, const std::string& replacement) {
        return true;
    }
    virtual bool textFieldShouldClear(TextField&) { return true; }
    virtual bool textFieldShouldReturn(TextField&) { return true; }
};

enum class TextBorderStyle { None, Line, Bezel, RoundedRect };
enum class TextFieldViewMode { Never, WhileEditing, UnlessEditing, Always };

// A one-line text entry. Tapping it makes it first responder, which brings up the keyboard
// for its keyboard type; typing goes through insertText/deleteBackward, asks the delegate's
// shouldChangeCharactersInRange first and then sends EditingChanged. Setting `text` from
// code asks nobody and sends nothing, as on the phone. The caret is always at the end.
class TextField : public Control, public KeyInput {
public:
    // Posted (object: the field) after every typed change.
    static constexpr const char* kTextDidChangeNotification = "UITextFieldTextDidChangeNotification";

    TextField();
    explicit TextField(Rect frame);

    const std::string& text() const override { return m_text; }
    void setText(std::string text);
    const std::string& placeholder() const { return m_placeholder; }
    void setPlaceholder(std::string placeholder);
    const Font& font() const { return m_font; }
    void setFont(Font font);
    Color textColor() const { return m_textColor; }
    void setTextColor(Color color);
    TextAlignment textAlignment() const { return m_textAlignment; }
    void setTextAlignment(TextAlignment alignment);
    TextBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(TextBorderStyle style);
    TextFieldViewMode clearButtonMode() const { return m_clearButtonMode; }
    void setClearButtonMode(TextFieldViewMode mode);
    bool clearsOnBeginEditing() const { return m_clearsOnBeginEditing; }
    void setClearsOnBeginEditing(bool clears) { m_clearsOnBeginEditing = clears; }
    bool adjustsFontSizeToFitWidth() const { return m_adjustsFontSize; }
    void setAdjustsFontSizeToFitWidth(bool adjusts) { m_adjustsFontSize = adjusts; }
    const graphics::Image& background() const { return m_background; }
    void setBackground(graphics::Image image);

    // Keyboard traits.
    KeyboardType keyboardType() const { return m_traits.keyboardType; }
    void setKeyboardType(KeyboardType type) { m_traits.keyboardType = type; }
    ReturnKeyType returnKeyType() const { return m_traits.returnKeyType; }
    void setReturnKeyType(ReturnKeyType type) { m_traits.returnKeyType = type; }
    AutocapitalizationType autocapitalizationType() const { return m_traits.autocapitalizationType; }
    void setAutocapitalizationType(AutocapitalizationType type) { m_traits.autocapitalizationType = type; }
    AutocorrectionType autocorrectionType() const { return m_traits.autocorrectionType; }
    void setAutocorrectionType(AutocorrectionType type) { m_traits.autocorrectionType = type; }
    bool isSecureTextEntry() const { return m_traits.secureTextEntry; }
    void setSecureTextEntry(bool secure);

    // Held weakly: one that has gone is not called.
    std::shared_ptr<TextFieldDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<TextFieldDelegate> delegate) { m_delegate = std::move(delegate); }

    bool isEditing() const { return m_editing; }
    // The text as drawn (bullets for secure entry).
    std::string displayedText() const;
    bool isClearButtonVisible() const;
    Rect clearButtonRect() const;
    // The clear button's action: asks textFieldShouldClear, then empties the text.
    void clear();

    // KeyInput
    const TextInputTraits& textInputTraits() const override { return m_traits; }
    bool hasText() const override { return !m_text.empty(); }
    void insertText(const std::string& text) override;
    void deleteBackward() override;

    // Responder
    bool canBecomeFirstResponder() const override { return isEnabled(); }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void didBecomeFirstResponder() override;
    void didResignFirstResponder() override;

    void drawRect(graphics::Context& context, Rect rect) override;
    Rect textRectForBounds(Rect bounds) const;

protected:
    void endTracking(Touch& touch) override;

private:
    void replace(TextRange range, const std::string& replacement);

    std::string m_text;
    std::string m_placeholder;
    Font m_font {Font::systemFontOfSize(12)};
    Color m_textColor {Color::black()};
    TextAlignment m_textAlignment {TextAlignment::Left};
    TextBorderStyle m_borderStyle {TextBorderStyle::None};
    TextFieldViewMode m_clearButtonMode {TextFieldViewMode::Never};
    bool m_clearsOnBeginEditing {false};
    bool m_adjustsFontSize {false};
    graphics::Image m_background;
    TextInputTraits m_traits;
    std::weak_ptr<TextFieldDelegate> m_delegate;
    bool m_editing {false};
};

// Byte length of the last UTF-8 character of `text` (0 for an empty text).
size_t lastCharacterLength(const std::string& text);
// Number of characters (code points) of a UTF-8 text.
size_t characterCount(const std::string& text);

} // namespace platform::views
