#include "platform/views/TextView.h"

#include <algorithm>
#include <cmath>

#include "platform/base/NotificationCenter.h"
#include "platform/graphics/Context.h"
#include "platform/graphics/TextLayout.h"
#include "platform/views/Screen.h"

namespace platform::views {

namespace {
constexpr double kPadding = 8;
}

TextView::TextView()
    : TextView(Rect(0, 0, Screen::kWidth, 200)) { }

TextView::TextView(Rect frame)
    : ScrollView(frame) {
    setBackgroundColor(Color::whiteColor());
    updateContentSize();
}

void TextView::setText(std::string text) {
    m_text = std::move(text);
    updateContentSize();
    setNeedsDisplay();
}

void TextView::setFont(graphics::Font font) {
    m_font = std::move(font);
    updateContentSize();
    setNeedsDisplay();
}

void TextView::setTextColor(Color color) {
    m_textColor = color;
    setNeedsDisplay();
}

void TextView::setTextAlignment(TextAlignment alignment) {
    m_textAlignment = alignment;
    setNeedsDisplay();
}

void TextView::setEditable(bool editable) {
    m_editable = editable;
    if (!editable && m_editing)
        resignFirstResponder();
}

void TextView::setFrame(Rect frame) {
    ScrollView::setFrame(frame);
    updateContentSize();
}

Rect TextView::textRect() const {
    return Rect(kPadding, kPadding, std::max(0.0, bounds().width() - 2 * kPadding), 0);
}

void TextView::updateContentSize() {
    double width = textRect().width();
    // A trailing line break starts a line that must show too.
    std::string measured = m_text.empty() || m_text.back() == '\n' ? m_text + " " : m_text;
    double height
        = graphics::TextLayout::sizeWithFont(measured, m_font, Size {width, 0}, LineBreakMode::WordWrap)
              .height;
    setContentSize({bounds().width(), std::ceil(height + 2 * kPadding)});
}

void TextView::replace(TextRange range, const std::string& replacement) {
    range.location = std::min(range.location, m_text.size());
    range.length = std::min(range.length, m_text.size() - range.location);
    if (auto delegate = m_delegate.lock();
        delegate && !delegate->shouldChangeTextInRange(*this, range, replacement))
        return;
    m_text.replace(range.location, range.length, replacement);
    updateContentSize();
    setNeedsDisplay();
    // Keep the end, where typing happens, in view.
    Size content = contentSize();
    scrollRectToVisible(Rect(0, std::max(0.0, content.height - 1), 1, 1), false);
    if (auto delegate = m_delegate.lock())
        delegate->textViewDidChange(*this);
    NotificationCenter::defaultCenter().post("UITextViewTextDidChangeNotification", {}, this);
}

void TextView::insertText(const std::string& text) {
    if (!m_editing)
        return;
    replace({m_text.size(), 0}, text);
}

void TextView::deleteBackward() {
    if (!m_editing || m_text.empty())
        return;
    size_t length = lastCharacterLength(m_text);
    replace({m_text.size() - length, length}, "");
}

bool TextView::becomeFirstResponder() {
    if (m_editing)
        return true;
    if (!m_editable)
        return false;
    if (auto delegate = m_delegate.lock(); delegate && !delegate->textViewShouldBeginEditing(*this))
        return false;
    return ScrollView::becomeFirstResponder();
}

bool TextView::resignFirstResponder() {
    if (auto delegate = m_delegate.lock();
        m_editing && delegate && !delegate->textViewShouldEndEditing(*this))
        return false;
    return ScrollView::resignFirstResponder();
}

void TextView::didBecomeFirstResponder() {
    m_editing = true;
    setNeedsDisplay();
    auto keep = weak_from_this().lock();
    if (auto delegate = m_delegate.lock())
        delegate->textViewDidBeginEditing(*this);
}

void TextView::didResignFirstResponder() {
    if (!m_editing)
        return;
    m_editing = false;
    setNeedsDisplay();
    auto keep = weak_from_this().lock();
    if (auto delegate = m_delegate.lock())
        delegate->textViewDidEndEditing(*this);
}

void TextView::didTap(Touch&) {
    if (m_editable && !m_editing)
        becomeFirstResponder();
}

void TextView::drawRect(graphics::Context& context, Rect) {
    Rect text = textRect();
    Size content = contentSize();
    Rect area(text.x(), text.y(), text.width(), std::max(content.height, bounds().height()));
    context.setFillColor(m_textColor);
    Size drawn = context.drawText(m_text, area, m_font, LineBreakMode::WordWrap, m_textAlignment);
    if (m_editing) {
        // The caret after the last character of the last line.
        graphics::TextLayout layout(m_text.empty() || m_text.back() == '\n' ? m_text + " " : m_text, m_font,
            Size {text.width(), 0}, LineBreakMode::WordWrap);
        double lineHeight = std::ceil(m_font.lineHeight());
        double lastLineTop = text.y() + std::max(0.0, layout.size().height - lineHeight);
        std::string lastLine
            = m_text.substr(m_text.rfind('\n') == std::string::npos ? 0 : m_text.rfind('\n') + 1);
        double width = std::fmod(
            graphics::TextLayout::sizeWithFont(lastLine, m_font).width, std::max(1.0, text.width()));
        if (layout.lineCount() > 1 && m_text.back() != '\n' && lastLine.size() && width == 0)
            width = text.width();
        (void)drawn;
        context.setFillColor(Color::rgba(0.26, 0.42, 0.95));
        context.fillRect(
            Rect(text.x() + std::min(width, text.width() - 2), lastLineTop + 1, 2, lineHeight - 2));
    }
}

} // namespace platform::views
