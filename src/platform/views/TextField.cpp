#include "platform/views/TextField.h"

#include <algorithm>
#include <cmath>

#include "platform/base/NotificationCenter.h"
#include "platform/graphics/Context.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/Touch.h"
#include "platform/views/Window.h"

namespace platform::views {

using graphics::LineBreakMode;

size_t lastCharacterLength(const std::string& text) {
    if (text.empty())
        return 0;
    size_t i = text.size() - 1;
    // Step back over continuation bytes (10xxxxxx) to the lead byte.
    while (i > 0 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
        --i;
    return text.size() - i;
}

size_t characterCount(const std::string& text) {
    return size_t(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

TextField::TextField() {
    setOpaque(false);
    setContentVerticalAlignment(ControlContentVerticalAlignment::Center);
}

TextField::TextField(Rect frame)
    : Control(frame) {
    setOpaque(false);
    setContentVerticalAlignment(ControlContentVerticalAlignment::Center);
}

void TextField::setText(std::string text) {
    m_text = std::move(text);
    setNeedsDisplay();
}

void TextField::setPlaceholder(std::string placeholder) {
    m_placeholder = std::move(placeholder);
    setNeedsDisplay();
}

void TextField::setFont(Font font) {
    m_font = std::move(font);
    setNeedsDisplay();
}

void TextField::setTextColor(Color color) {
    m_textColor = color;
    setNeedsDisplay();
}

void TextField::setTextAlignment(TextAlignment alignment) {
    m_textAlignment = alignment;
    setNeedsDisplay();
}

void TextField::setBorderStyle(TextBorderStyle style) {
    m_borderStyle = style;
    setNeedsDisplay();
}

void TextField::setClearButtonMode(TextFieldViewMode mode) {
    m_clearButtonMode = mode;
    setNeedsDisplay();
}

void TextField::setBackground(graphics::Image image) {
    m_background = std::move(image);
    setNeedsDisplay();
}

void TextField::setSecureTextEntry(bool secure) {
    m_traits.secureTextEntry = secure;
    setNeedsDisplay();
}

std::string TextField::displayedText() const {
    if (!m_traits.secureTextEntry)
        return m_text;
    std::string bullets;
    for (size_t i = 0, n = characterCount(m_text); i < n; ++i)
        bullets += "\u2022";
    return bullets;
}

bool TextField::isClearButtonVisible() const {
    if (m_text.empty())
        return false;
    switch (m_clearButtonMode) {
    case TextFieldViewMode::Never:
        return false;
    case TextFieldViewMode::Always:
        return true;
    case TextFieldViewMode::WhileEditing:
        return m_editing;
    case TextFieldViewMode::UnlessEditing:
        return !m_editing;
    }
    return false;
}

Rect TextField::clearButtonRect() const {
    Rect b = bounds();
    double size = 19;
    double inset = m_borderStyle == TextBorderStyle::None ? 0 : 5;
    return Rect(b.maxX() - size - inset, b.y() + std::floor((b.height() - size) / 2), size, size);
}

void TextField::clear() {
    if (auto delegate = m_delegate.lock(); delegate && !delegate->textFieldShouldClear(*this))
        return;
    if (m_text.empty())
        return;
    m_text.clear();
    setNeedsDisplay();
    sendActionsForControlEvents(ControlEventEditingChanged);
    NotificationCenter::defaultCenter().post(kTextDidChangeNotification, {}, this);
}

void TextField::replace(TextRange range, const std::string& replacement) {
    range.location = std::min(range.location, m_text.size());
    range.length = std::min(range.length, m_text.size() - range.location);
    if (auto delegate = m_delegate.lock();
        delegate && !delegate->shouldChangeCharactersInRange(*this, range, replacement))
        return;
    m_text.replace(range.location, range.length, replacement);
    setNeedsDisplay();
    sendActionsForControlEvents(ControlEventEditingChanged);
    NotificationCenter::defaultCenter().post(kTextDidChangeNotification, {}, this);
}

void TextField::insertText(const std::string& text) {
    if (!m_editing)
        return;
    if (text == "\n") {
        // The return key never types into a one-line field.
        auto delegate = m_delegate.lock();
        bool proceed = !delegate || delegate->textFieldShouldReturn(*this);
        if (!proceed)
            return;
        bool resigns = (allControlEvents() & ControlEventEditingDidEndOnExit) != 0;
        sendActionsForControlEvents(ControlEventEditingDidEndOnExit);
        if (resigns)
            resignFirstResponder();
        return;
    }
    std::string clean = text;
    std::replace(clean.begin(), clean.end(), '\n', ' ');
    replace({m_text.size(), 0}, clean);
}

void TextField::deleteBackward() {
    if (!m_editing || m_text.empty())
        return;
    size_t length = lastCharacterLength(m_text);
    replace({m_text.size() - length, length}, "");
}

bool TextField::becomeFirstResponder() {
    if (m_editing)
        return true;
    if (!canBecomeFirstResponder())
        return false;
    if (auto delegate = m_delegate.lock(); delegate && !delegate->textFieldShouldBeginEditing(*this))
        return false;
    return Control::becomeFirstResponder();
}

bool TextField::resignFirstResponder() {
    if (auto delegate = m_delegate.lock();
        m_editing && delegate && !delegate->textFieldShouldEndEditing(*this))
        return false;
    return Control::resignFirstResponder();
}

void TextField::didBecomeFirstResponder() {
    m_editing = true;
    if (m_clearsOnBeginEditing)
        m_text.clear();
    setNeedsDisplay();
    auto keep = weak_from_this().lock();
    sendActionsForControlEvents(ControlEventEditingDidBegin);
    if (auto delegate = m_delegate.lock())
        delegate->textFieldDidBeginEditing(*this);
}

void TextField::didResignFirstResponder() {
    if (!m_editing)
        return;
    m_editing = false;
    setNeedsDisplay();
    auto keep = weak_from_this().lock();
    sendActionsForControlEvents(ControlEventEditingDidEnd);
    if (auto delegate = m_delegate.lock())
        delegate->textFieldDidEndEditing(*this);
}

void TextField::endTracking(Touch& touch) {
    Point p = touch.locationInView(this);
    if (!isWithinReach(p))
        return;
    if (isClearButtonVisible() && clearButtonRect().insetBy(-6, -6).contains(p)) {
        clear();
        return;
    }
    if (!m_editing)
        becomeFirstResponder();
}

Rect TextField::textRectForBounds(Rect b) const {
    double left = 0, right = 0;
    switch (m_borderStyle) {
    case TextBorderStyle::RoundedRect:
        left = right = 8;
        break;
    case TextBorderStyle::Bezel:
    case TextBorderStyle::Line:
        left = right = 4;
        break;
    case TextBorderStyle::None:
        break;
    }
    if (isClearButtonVisible())
        right = std::max(right, clearButtonRect().width() + 8);
    return Rect(b.x() + left, b.y(), std::max(0.0, b.width() - left - right), b.height());
}

void TextField::drawRect(graphics::Context& context, Rect) {
    Rect b = bounds();
    if (m_background) {
        m_background.drawInRect(context, b);
    } else {
        switch (m_borderStyle) {
        case TextBorderStyle::RoundedRect:
            addRoundedRectPath(context, b.insetBy(0.5, 0.5), 7);
            context.setFillColor(Color::whiteColor());
            context.fillPath();
            addRoundedRectPath(context, b.insetBy(0.5, 0.5), 7);
            context.setStrokeColor(Color::white(0.6));
            context.setLineWidth(1);
            context.strokePath();
            break;
        case TextBorderStyle::Bezel:
            context.setFillColor(Color::whiteColor());
            context.fillRect(b);
            context.setStrokeColor(Color::white(0.45));
            context.strokeRectWithWidth(b.insetBy(0.5, 0.5), 1);
            context.setFillColor(Color::white(0.3));
            context.fillRect(Rect(b.x(), b.y(), b.width(), 1.5));
            break;
        case TextBorderStyle::Line:
            context.setStrokeColor(Color::black());
            context.strokeRectWithWidth(b.insetBy(0.5, 0.5), 1);
            break;
        case TextBorderStyle::None:
            break;
        }
    }

    Rect textRect = textRectForBounds(b);
    double lineHeight = std::ceil(m_font.lineHeight());
    double y = textRect.y();
    if (contentVerticalAlignment() == ControlContentVerticalAlignment::Center)
        y += std::floor((textRect.height() - lineHeight) / 2);
    else if (contentVerticalAlignment() == ControlContentVerticalAlignment::Bottom)
        y = textRect.maxY() - lineHeight;
    Rect line(textRect.x(), y, textRect.width(), lineHeight);

    std::string shown = displayedText();
    context.saveGState();
    context.clipToRect(textRect);
    if (shown.empty()) {
        if (!m_placeholder.empty()) {
            context.setFillColor(Color::white(0.7));
            context.drawText(m_placeholder, line, m_font, LineBreakMode::TailTruncation, m_textAlignment);
        }
    } else {
        context.setFillColor(isEnabled() ? m_textColor : Color::gray());
        // While editing the end of a long text stays in view, as the caret does.
        double width = graphics::TextLayout::sizeWithFont(shown, m_font).width;
        Rect textLine = line;
        if (m_editing && width > line.width())
            textLine = Rect(line.maxX() - width, line.y(), width, line.height());
        context.drawText(shown, textLine, m_font,
            m_editing ? LineBreakMode::Clip : LineBreakMode::TailTruncation,
            m_editing && width > line.width() ? TextAlignment::Left : m_textAlignment);
    }
    if (m_editing) {
        // The caret after the last character.
        double width = std::min(graphics::TextLayout::sizeWithFont(shown, m_font).width, line.width());
        double x = line.x() + width;
        if (m_textAlignment == TextAlignment::Right)
            x = line.maxX();
        else if (m_textAlignment == TextAlignment::Center)
            x = line.x() + (line.width() + width) / 2;
        context.setFillColor(Color::rgba(0.26, 0.42, 0.95));
        context.fillRect(Rect(std::min(x, line.maxX() - 2), line.y() + 1, 2, line.height() - 2));
    }
    context.restoreGState();

    if (isClearButtonVisible()) {
        Rect r = clearButtonRect();
        context.setFillColor(Color::white(0.7));
        context.fillEllipseInRect(r);
        context.setStrokeColor(Color::whiteColor());
        context.setLineWidth(2);
        Point c = r.center();
        context.strokeLineSegments(
            {{c.x - 4, c.y - 4}, {c.x + 4, c.y + 4}, {c.x + 4, c.y - 4}, {c.x - 4, c.y + 4}});
    }
}

} // namespace platform::views
