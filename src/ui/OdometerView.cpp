#include "ui/OdometerView.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/DrawingUtilities.h"
#include "platform/base/NotificationCenter.h"
#include "platform/graphics/Context.h"
#include "platform/graphics/Font.h"
#include "platform/views/Touch.h"

using namespace platform::views;
using platform::graphics::Context;
using platform::graphics::Font;
using platform::graphics::Gradient;
using platform::graphics::TextDrawingMode;

namespace {

// A reading takes at most six digits, so 99999 is the largest value that may grow by one.
constexpr std::int32_t kLargestGrowableValue = 99999;
constexpr size_t kDigitCells = 6;

bool isDigits(const std::string& text) {
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

class OdometerView::Entry : public TextFieldDelegate {
public:
    explicit Entry(OdometerView& odometer)
        : m_odometer(odometer) { }
    bool shouldChangeCharactersInRange(TextField& field, TextRange, const std::string& replacement) override;
    void textFieldDidBeginEditing(TextField& field) override {
        if (auto delegate = m_odometer.m_delegate.lock())
            delegate->textFieldDidBeginEditing(field);
    }
    void textFieldDidEndEditing(TextField& field) override {
        m_odometer.setValue(intValue(field.text()));
        if (auto delegate = m_odometer.m_delegate.lock())
            delegate->textFieldDidEndEditing(field);
    }
    bool textFieldShouldReturn(TextField& field) override {
        if (auto delegate = m_odometer.m_delegate.lock())
            delegate->textFieldShouldReturn(field);
        return false;
    }

private:
    OdometerView& m_odometer;
};

OdometerView::OdometerView() {
    init();
}

OdometerView::OdometerView(Rect frame) {
    setFrame(frame);
    init();
}

std::shared_ptr<OdometerView> OdometerView::fromLayoutFrame(Rect frame) {
    auto view = std::make_shared<OdometerView>();
    frame.size.height = 0.2 * frame.size.width;
    view->View::setFrame(frame);
    return view;
}

void OdometerView::init() {
    m_hiddenTextField = std::make_shared<TextField>(Rect());
    m_hiddenTextField->setHidden(true);
    m_hiddenTextField->setKeyboardType(KeyboardType::NumberPad);
    m_hiddenTextField->setReturnKeyType(ReturnKeyType::Done);
    m_entry = std::make_shared<Entry>(*this);
    m_hiddenTextField->setDelegate(m_entry);
    // The field is owned by this view, so it never calls back into a destroyed odometer.
    m_hiddenTextField->addTarget([this] { editingDidChange(); }, ControlEventEditingChanged);
    addSubview(m_hiddenTextField);

    View::setOpaque(false);
    View::setBackgroundColor(std::nullopt);
    setValue(-1);
    setEditable(false);
}

void OdometerView::setFrame(Rect frame) {
    if (frame.size.width > 0)
        frame.size.height = 0.2 * frame.size.width;
    else if (frame.size.height > 0)
        frame.size.width = 5 * frame.size.height;
    View::setFrame(frame);
}

void OdometerView::setTag(int tag) {
    View::setTag(tag);
    m_hiddenTextField->setTag(tag);
}

void OdometerView::setValue(std::int32_t value) {
    if (value == m_value)
        return;
    m_value = value;
    m_hiddenTextField->setText(std::to_string(value));
    setNeedsDisplay();
}

bool OdometerView::becomeFirstResponder() {
    return m_hiddenTextField->becomeFirstResponder();
}

void OdometerView::touchesEnded(Touch& touch) {
    if (editable())
        becomeFirstResponder();
}

std::string OdometerView::displayText() const {
    if (m_value < 1)
        return std::string(kDigitCells, '-');
    char text[16];
    std::snprintf(text, sizeof text, "%06d", int(m_value));
    return text;
}

std::int32_t OdometerView::intValue(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    std::int64_t number = 0;
    const std::int64_t limit = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        number = std::min(limit, number * 10 + (text[i] - '0'));
    number = negative ? -number : number;
    return std::int32_t(std::clamp<std::int64_t>(
        number, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

bool OdometerView::Entry::shouldChangeCharactersInRange(
    TextField& field, TextRange, const std::string& replacement) {
    if (replacement.empty()) {
        // Deleting the last digit leaves no reading rather than a zero.
        if (m_odometer.m_value > 0)
            return true;
        m_odometer.setValue(-1);
        return false;
    }
    if (!isDigits(replacement))
        return false;
    if (m_odometer.m_value < 0) {
        // The entry still holds "-1": the typed digits replace it, as a typed change would
        // (the field cannot insert into a text its delegate has just changed).
        if (replacement.size() > kDigitCells)
            return false;
        field.setText(replacement);
        field.sendActionsForControlEvents(ControlEventEditingChanged);
        platform::NotificationCenter::defaultCenter().post(TextField::kTextDidChangeNotification, {}, &field);
        return false;
    }
    return m_odometer.m_value <= kLargestGrowableValue
        && field.text().size() + replacement.size() <= kDigitCells;
}

void OdometerView::editingDidChange() {
    const std::string& text = m_hiddenTextField->text();
    setValue(text.empty() ? -1 : intValue(text));
}

void OdometerView::drawRect(Context& context, Rect) {
    const Rect whole = bounds().integral();
    const double w = whole.width(), h = whole.height();
    if (w <= 0 || h <= 0)
        return;
    const std::string text = displayText();
    const auto drumDark = colorWithHex(0x333333), drumLight = colorWithHex(0x555555);
    const auto separator = colorWithHex(0xFFFFFF), shadow = colorWithHex(0x222222);

    context.saveGState();
    // Views share the window's picture, so clearing would punch through to whatever lies
    // behind (a non-opaque view starts out clear anyway). The drum's clip keeps the
    // painting inside the view.
    const double r = 0.15 * std::min(w, h);
    const double minX = 0, midX = w / 2, maxX = w - 1;
    const double minY = 0, midY = h / 2, maxY = h - 1;
    context.beginPath();
    context.moveToPoint(minX, midY);
    context.addArcToPoint(minX, minY, midX, minY, r);
    context.addArcToPoint(maxX, minY, maxX, midY, r);
    context.addArcToPoint(maxX, maxY, midX, maxY, r);
    context.addArcToPoint(minX, maxY, minX, midY, r);
    context.closePath();
    context.clip();

    context.drawLinearGradient(Gradient {{{0, drumDark}, {0.45, drumLight}, {1, drumDark}}}, {0, 0}, {0, h});

    const double cell = std::round(w / kDigitCells);
    context.setShadowWithColor({0, 0}, 0.75, shadow);
    context.setStrokeColor(separator);
    context.setLineWidth(1);
    for (int i = 1; i < int(kDigitCells); ++i)
        context.strokeLineSegments({{i * cell, 0}, {i * cell, h}});

    // Each digit is centred in its cell by its own advance; the separator shadow stays on.
    context.selectFont(Font::fontWithName("Helvetica-Bold", std::min(0.2 * w, 0.9 * h)));
    context.setFillColor(platform::graphics::Color::whiteColor());
    const double exactCell = w / kDigitCells;
    const double baseline = 0.775 * h;
    for (size_t i = 0; i < text.size(); ++i) {
        const std::string digit = text.substr(i, 1);
        context.setTextPosition({0, baseline});
        const double advance = MeasureText(context, digit).width;
        context.setTextDrawingMode(TextDrawingMode::Fill);
        context.showTextAtPoint(i * exactCell + (exactCell - advance) / 2, baseline, digit);
    }

    // Inner shadows: shapes just outside the drum cast their shadows in over its top and
    // bottom edges (this context's shadow offsets point down, so the upper one is positive).
    context.setShadowWithColor({0, 0.125 * h}, 0.5 * h, shadow);
    context.fillRect({0, -0.5 * h, w, 0.5 * h});
    context.setShadowWithColor({0, -0.125 * h}, 0.5 * h, shadow);
    context.fillRect({0, h, w, h});
    context.restoreGState();
}
