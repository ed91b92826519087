#include "platform/views/Keyboard.h"

#include <cctype>
#include <cmath>

#include "platform/base/NumberFormatter.h"
#include "platform/graphics/Context.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/KeyboardKey.h"
#include "platform/views/TextField.h"

namespace platform::views {

using Kind = KeyboardKey::Kind;
using Face = KeyboardKey::Face;

std::string returnKeyTitle(ReturnKeyType type) {
    switch (type) {
    case ReturnKeyType::Default:
        return "return";
    case ReturnKeyType::Go:
        return "Go";
    case ReturnKeyType::Join:
        return "Join";
    case ReturnKeyType::Next:
        return "Next";
    case ReturnKeyType::Route:
        return "Route";
    case ReturnKeyType::Search:
        return "Search";
    case ReturnKeyType::Send:
        return "Send";
    case ReturnKeyType::Done:
        return "Done";
    case ReturnKeyType::EmergencyCall:
        return "Emergency Call";
    }
    return "return";
}

Value valueWithRect(Rect rect) {
    return Value(
        Dictionary {{"x", rect.x()}, {"y", rect.y()}, {"width", rect.width()}, {"height", rect.height()}});
}

Rect rectFromValue(const Value& value) {
    const Dictionary& d = value.dictionary();
    auto get = [&](const char* key) {
        auto it = d.find(key);
        return it == d.end() ? 0.0 : it->second.toDouble();
    };
    return Rect(get("x"), get("y"), get("width"), get("height"));
}

Rect keyboardFrameFromUserInfo(const Dictionary& userInfo, const std::string& key) {
    auto it = userInfo.find(key);
    return it == userInfo.end() ? Rect() : rectFromValue(it->second);
}

namespace {

// Slots of the letter keyboard in points of a 320-point-wide row.
struct Slot {
    int row;
    double x;
    double width;
};

const char* kPadSubtitles[] = {"", "", "ABC", "DEF", "GHI", "JKL", "MNO", "PQRS", "TUV", "WXYZ"};

} // namespace

Keyboard::Keyboard(Rect frame)
    : View(frame) {
    setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleTopMargin);
}

KeyInput* Keyboard::input() const {
    return m_inputView.expired() ? nullptr : m_input;
}

void Keyboard::configureFor(KeyInput& input, const std::shared_ptr<View>& inputView) {
    m_input = &input;
    m_inputView = inputView;
    const TextInputTraits& traits = input.textInputTraits();
    m_type = traits.keyboardType;
    m_returnKey = traits.returnKeyType;
    m_autocapitalization = traits.autocapitalizationType;
    m_numbers = m_type == KeyboardType::NumbersAndPunctuation;
    m_shiftLocked = false;
    rebuild();
    updateAutomaticShift();
}

void Keyboard::detach() {
    m_input = nullptr;
    m_inputView.reset();
}

bool Keyboard::isPad() const {
    return m_type == KeyboardType::NumberPad || m_type == KeyboardType::DecimalPad
        || m_type == KeyboardType::PhonePad;
}

void Keyboard::rebuild() {
    // Whatever an application laid over the previous keyboard goes with it.
    for (auto& subview : std::vector<std::shared_ptr<View>>(subviews()))
        subview->removeFromSuperview();
    m_keys.clear();
    if (isPad())
        buildPad(m_type == KeyboardType::DecimalPad);
    else
        buildLetters();
    setNeedsLayout();
    setNeedsDisplay();
}

std::shared_ptr<KeyboardKey> Keyboard::addKey(int kind, const std::string& text, int face) {
    auto key = std::make_shared<KeyboardKey>(Kind(kind), text, Face(face));
    std::weak_ptr<View> weakSelf = weak_from_this();
    KeyboardKey* raw = key.get();
    key->addTarget(
        [weakSelf, raw] {
            if (auto self = std::static_pointer_cast<Keyboard>(weakSelf.lock()))
                self->keyPressed(*raw);
        },
        ControlEventTouchUpInside);
    m_keys.push_back(key);
    addSubview(key);
    return key;
}

void Keyboard::buildPad(bool decimal) {
    for (int digit = 1; digit <= 9; ++digit) {
        auto key = addKey(int(Kind::Character), std::to_string(digit), int(Face::Pad));
        key->setSubtitle(kPadSubtitles[digit]);
    }
    if (decimal)
        addKey(int(Kind::Character), NumberFormatter(NumberFormatter::Style::Decimal).decimalSeparator(),
            int(Face::PadDark));
    else if (m_type == KeyboardType::PhonePad)
        addKey(int(Kind::Character), "+", int(Face::PadDark));
    else
        addKey(int(Kind::Blank), "", int(Face::PadDark));
    addKey(int(Kind::Character), "0", int(Face::Pad));
    addKey(int(Kind::Delete), "delete", int(Face::PadDark));
}

void Keyboard::buildLetters() {
    static const char* letterRows[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
    static const char* numberRows[] = {"1234567890", "-/:;()$&@", ".,?!'\"_"};
    const char** rows = m_numbers ? numberRows : letterRows;
    for (int r = 0; r < 3; ++r) {
        if (r == 2)
            addKey(m_numbers ? int(Kind::Blank) : int(Kind::Shift), m_numbers ? "" : "shift",
                int(Face::Function));
        for (const char* c = rows[r]; *c; ++c)
            addKey(int(Kind::Character), std::string(1, *c), int(Face::Letter));
        if (r == 2)
            addKey(int(Kind::Delete), "delete", int(Face::Function));
    }
    addKey(int(Kind::ModeChange), m_numbers ? "ABC" : "123", int(Face::Function));
    if (m_type == KeyboardType::EmailAddress) {
        addKey(int(Kind::Character), " ", int(Face::Space))->setTitle("space");
        addKey(int(Kind::Character), "@", int(Face::Letter));
        addKey(int(Kind::Character), ".", int(Face::Letter));
    } else if (m_type == KeyboardType::URL) {
        addKey(int(Kind::Character), ".", int(Face::Letter));
        addKey(int(Kind::Character), "/", int(Face::Letter));
        addKey(int(Kind::Character), ".com", int(Face::Letter));
    } else {
        addKey(int(Kind::Character), " ", int(Face::Space))->setTitle("space");
    }
    bool blue = m_returnKey != ReturnKeyType::Default;
    addKey(int(Kind::Return), returnKeyTitle(m_returnKey), int(blue ? Face::ReturnBlue : Face::Function))
        ->setTitle(returnKeyTitle(m_returnKey));
}

void Keyboard::layoutSubviews() {
    Rect b = bounds();
    if (m_keys.empty())
        return;
    if (isPad()) {
        double third = std::floor(b.width() / 3);
        double x1 = third, x2 = b.width() - third;
        double xs[] = {0, x1, x2};
        double ws[] = {x1 - 1, x2 - x1 - 1, b.width() - x2};
        double rowHeight = std::floor(b.height() / 4);
        for (size_t i = 0; i < m_keys.size() && i < 12; ++i) {
            int row = int(i / 3), column = int(i % 3);
            // The first column of the bottom row lines up with the phone's blank key at
            // (0, 163) and 105 x 53 (the key face starts one point below the hairline).
            m_keys[i]->setFrame(Rect(xs[column], b.y() + row * rowHeight, ws[column], rowHeight));
        }
        return;
    }
    double scale = b.width() / 320;
    double rowHeight = std::floor(b.height() / 4);
    std::vector<Slot> slots;
    for (int i = 0; i < 10; ++i)
        slots.push_back({0, i * 32.0, 32});
    int secondRow = m_numbers ? 9 : 9;
    double offset = (320 - secondRow * 32.0) / 2;
    for (int i = 0; i < secondRow; ++i)
        slots.push_back({1, offset + i * 32.0, 32});
    int thirdRow = m_numbers ? 7 : 7;
    slots.push_back({2, 0, 42});
    double span = 320 - 2 * 48;
    for (int i = 0; i < thirdRow; ++i)
        slots.push_back({2, 48 + i * span / thirdRow, span / thirdRow});
    slots.push_back({2, 278, 42});
    if (m_type == KeyboardType::EmailAddress) {
        slots.push_back({3, 0, 80});
        slots.push_back({3, 80, 80});
        slots.push_back({3, 160, 40});
        slots.push_back({3, 200, 40});
        slots.push_back({3, 240, 80});
    } else if (m_type == KeyboardType::URL) {
        slots.push_back({3, 0, 80});
        slots.push_back({3, 80, 50});
        slots.push_back({3, 130, 50});
        slots.push_back({3, 180, 60});
        slots.push_back({3, 240, 80});
    } else {
        slots.push_back({3, 0, 80});
        slots.push_back({3, 80, 160});
        slots.push_back({3, 240, 80});
    }
    for (size_t i = 0; i < m_keys.size() && i < slots.size(); ++i) {
        const Slot& s = slots[i];
        m_keys[i]->setFrame(
            Rect(std::floor(s.x * scale), b.y() + s.row * rowHeight, std::floor(s.width * scale), rowHeight));
    }
}

void Keyboard::drawRect(graphics::Context& context, Rect) {
    Rect b = bounds();
    if (isPad()) {
        context.setFillColor(Color::fromHex(0x4C4F57));
        context.fillRect(b);
        return;
    }
    fillVerticalGradient(context, b, Color::fromHex(0xA0A5AF), Color::fromHex(0x6E7480));
    context.setFillColor(Color::fromHex(0x4C4F57));
    context.fillRect(Rect(b.x(), b.y(), b.width(), 1));
}

KeyboardKey* Keyboard::keyWithTitle(const std::string& title) const {
    for (auto& key : m_keys) {
        std::string legend = key->currentTitle().empty() ? key->keyText() : key->currentTitle();
        if (legend == title)
            return key.get();
    }
    return nullptr;
}

void Keyboard::keyPressed(KeyboardKey& key) {
    auto keep = shared_from_this();
    KeyInput* target = input();
    switch (key.kind()) {
    case Kind::Character: {
        if (!target)
            return;
        std::string text = key.keyText();
        if (m_shift && text.size() == 1 && std::isalpha(static_cast<unsigned char>(text[0])))
            text[0] = char(std::toupper(static_cast<unsigned char>(text[0])));
        target->insertText(text);
        if (!m_shiftLocked)
            m_shift = false;
        updateAutomaticShift();
        break;
    }
    case Kind::Delete:
        if (target)
            target->deleteBackward();
        updateAutomaticShift();
        break;
    case Kind::Return:
        if (target)
            target->insertText("\n");
        break;
    case Kind::Shift:
        m_shift = !m_shift;
        m_shiftLocked = false;
        if (auto* shift = keyWithTitle("shift"))
            shift->setSelected(m_shift);
        break;
    case Kind::ModeChange:
        m_numbers = !m_numbers;
        rebuild();
        updateAutomaticShift();
        break;
    case Kind::Blank:
        break;
    }
}

void Keyboard::updateAutomaticShift() {
    KeyInput* target = input();
    if (!target || isPad() || m_numbers) {
        m_shift = false;
    } else {
        const std::string& text = target->text();
        switch (m_autocapitalization) {
        case AutocapitalizationType::None:
            m_shift = false;
            break;
        case AutocapitalizationType::AllCharacters:
            m_shift = true;
            m_shiftLocked = true;
            break;
        case AutocapitalizationType::Words:
            m_shift = text.empty() || text.back() == ' ' || text.back() == '\n';
            break;
        case AutocapitalizationType::Sentences: {
            size_t end = text.find_last_not_of(' ');
            m_shift = text.empty() || text.back() == '\n'
                || (end != std::string::npos && end + 1 < text.size()
                    && (text[end] == '.' || text[end] == '!' || text[end] == '?'));
            break;
        }
        }
    }
    if (auto* shift = keyWithTitle("shift"))
        shift->setSelected(m_shift);
}

// On a pad, a device keyboard's decimal mark and return key find the key in the pad's
// bottom-left place: the pad's own (the decimal separator of the locale) or the key an
// application laid over the blank one (the decimal key, "Done").
Control* Keyboard::keyOverBlankPlace() const {
    if (!isPad() || m_keys.size() < 10)
        return nullptr;
    // Where layoutSubviews puts the first key of the bottom row (it may not have run yet).
    Rect b = bounds();
    Point place(std::floor(b.width() / 3) / 2, b.y() + 3.5 * std::floor(b.height() / 4));
    for (auto it = subviews().rbegin(); it != subviews().rend(); ++it) {
        auto* control = dynamic_cast<Control*>(it->get());
        if (control && !control->isHidden() && control->frame().contains(place))
            return control;
    }
    return nullptr;
}

void Keyboard::typeText(const std::string& text) {
    auto keep = shared_from_this();
    size_t i = 0;
    while (i < text.size()) {
        KeyInput* target = input();
        if (!target)
            return;
        size_t length = 1;
        unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0xF0)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC0)
            length = 2;
        std::string character = text.substr(i, length);
        i += length;
        if (character == "." || character == ",") {
            Control* key = keyOverBlankPlace();
            auto* own = dynamic_cast<KeyboardKey*>(key);
            if (own && own->kind() == Kind::Character && (own->keyText() == "." || own->keyText() == ",")) {
                target->insertText(own->keyText());
                continue;
            }
            if (key && !own) {
                key->sendActionsForControlEvents(ControlEventTouchUpInside);
                continue;
            }
        }
        target->insertText(character);
    }
    updateAutomaticShift();
}

void Keyboard::pressDelete() {
    if (KeyInput* target = input())
        target->deleteBackward();
    updateAutomaticShift();
}

void Keyboard::pressReturn() {
    auto keep = shared_from_this();
    KeyInput* target = input();
    // A pad has no return key: for an entry whose return key is Done, the application's key in
    // its place ends the entry; for one whose key types the decimal mark, return still returns.
    Control* key = keyOverBlankPlace();
    if (key && !dynamic_cast<KeyboardKey*>(key) && target
        && target->textInputTraits().returnKeyType != ReturnKeyType::Default) {
        key->sendActionsForControlEvents(ControlEventTouchUpInside);
        return;
    }
    if (target)
        target->insertText("\n");
}

} // namespace platform::views
