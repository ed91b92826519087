#include "ui/FormEntries.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "QLCoreLibrary/ApplicationExtensions.h"
#include "QLCoreLibrary/ValueText.h"
#include "platform/views/Application.h"
#include "platform/views/Keyboard.h"
#include "platform/views/Screen.h"
#include "ui/OdometerView.h"

using namespace platform::views;

namespace {

bool isDigits(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Digits with at most one decimal separator: what the number pad and its extra key type.
bool isTypedNumber(const std::string& text, const std::string& separator) {
    size_t at = separator.empty() ? std::string::npos : text.find(separator);
    if (at == std::string::npos)
        return isDigits(text);
    std::string rest = text.substr(0, at) + text.substr(at + separator.size());
    return isDigits(rest);
}

double typedNumber(const std::string& text) {
    std::optional<double> value = ParseTypedNumber(text);
    return value && std::isfinite(*value) ? *value : 0;
}

} // namespace

FormEntries::FormEntries(ViewController& screen, std::weak_ptr<TableView> table)
    : m_screenPointer(&screen)
    , m_table(std::move(table)) {
    auto& center = platform::NotificationCenter::defaultCenter();
    // The tokens live as long as these entries, so the observers never reach released ones.
    m_keyboardDidShow = center.addObserver(kKeyboardDidShowNotification, [this](auto&) { liftTable(true); });
    m_keyboardDidHide = center.addObserver(kKeyboardDidHideNotification, [this](auto&) { liftTable(false); });
}

FormEntries::~FormEntries() = default;

// --- Declaring entries

FormEntries::Entry& FormEntries::add(int key, Kind kind) {
    m_entries.erase(
        std::remove_if(m_entries.begin(), m_entries.end(), [key](auto& e) { return e.key == key; }),
        m_entries.end());
    Entry& entry = m_entries.emplace_back();
    entry.key = key;
    entry.kind = kind;
    return entry;
}

void FormEntries::addText(int key, std::string& value) {
    Entry& entry = add(key, Kind::Text);
    entry.shown = [&value] { return value; };
    entry.editing = entry.shown;
    entry.store = [&value](const std::string& text) { value = text; };
}

void FormEntries::addWholeNumber(int key, std::function<std::int64_t()> get,
    std::function<void(std::int64_t)> set, int maxDigits, std::int64_t maximum, bool digitsOnly) {
    Entry& entry = add(key, Kind::WholeNumber);
    entry.digitsOnly = digitsOnly;
    entry.shown = [get] { return std::to_string(get()); };
    entry.editing = entry.shown;
    entry.number = [get] { return double(get()); };
    entry.maxDigits = maxDigits;
    entry.store = [set, maximum](const std::string& text) {
        // The digit limit keeps the text inside 64 bits; the maximum inside the column.
        std::int64_t value = 0;
        for (char c : text) {
            if (c < '0' || c > '9')
                break;
            value = std::min<std::int64_t>(maximum, value * 10 + (c - '0'));
        }
        set(value);
    };
}

void FormEntries::addWholeNumber(int key, std::int32_t& value, int maxDigits) {
    addWholeNumber(
        key, [&value] { return std::int64_t(value); }, [&value](std::int64_t v) { value = std::int32_t(v); },
        maxDigits, std::numeric_limits<std::int32_t>::max());
}

void FormEntries::addOdometer(int key, std::int32_t& value) {
    Entry& entry = add(key, Kind::Odometer);
    entry.shown = [&value] { return std::to_string(value); };
    entry.editing = entry.shown;
    entry.number = [&value] { return double(value); };
    // An untouched drum holds the text of -1, so a reading never entered stays -1.
    entry.store = [&value](const std::string& text) { value = OdometerView::intValue(text); };
}

void FormEntries::addDecimal(int key, double& value, int fractionDigits) {
    Entry& entry = add(key, Kind::Decimal);
    entry.shown = [&value, fractionDigits] { return FormatFloat(value, fractionDigits); };
    entry.editing = [&value, fractionDigits] { return FormatTypedNumber(value, fractionDigits); };
    entry.number = [&value] { return value; };
    entry.store = [&value](const std::string& text) { value = typedNumber(text); };
}

void FormEntries::addMoney(int key, double& value) {
    addMoney(
        key, [&value] { return value; }, [&value](double v) { value = v; });
}

void FormEntries::addMoney(int key, std::function<double()> get, std::function<void(double)> set) {
    Entry& entry = add(key, Kind::Money);
    entry.shown = [get] { return FormatCurrency(get()); };
    entry.editing = [get] { return FormatTypedNumber(get(), CurrencyFractionDigits()); };
    entry.number = get;
    entry.store = [set](const std::string& text) { set(typedNumber(text)); };
}

void FormEntries::setLift(int key, double points) {
    for (Entry& entry : m_entries) {
        if (entry.key == key)
            entry.lift = points;
    }
}

// --- The entries' views

FormEntries::Entry* FormEntries::entryFor(const TextField& field) {
    for (Entry& entry : m_entries) {
        if (entry.field.lock().get() == &field)
            return &entry;
    }
    return nullptr;
}

const FormEntries::Entry* FormEntries::entryForKey(int key) const {
    for (const Entry& entry : m_entries) {
        if (entry.key == key)
            return &entry;
    }
    return nullptr;
}

void FormEntries::connect(Entry& entry, TextField& field) {
    if (m_screen.expired())
        m_screen = m_screenPointer->weak_from_this();
    auto shared = std::static_pointer_cast<TextField>(field.sharedFromThis());
    // A reused cell may bring its entry from another row.
    for (Entry& other : m_entries) {
        if (&other != &entry && other.field.lock() == shared)
            other.field.reset();
    }
    entry.field = shared;
    if (entry.kind == Kind::Odometer)
        return;
    if (field.delegate().get() != this) {
        field.setDelegate(weak_from_this());
        std::weak_ptr<FormEntries> weak = weak_from_this();
        TextField* sender = &field;
        field.addTarget(
            [weak, sender] {
                auto self = weak.lock();
                if (!self || !self->m_changed)
                    return;
                if (Entry* changed = self->entryFor(*sender))
                    self->m_changed(changed->key);
            },
            ControlEventEditingChanged);
    }
    if (m_editing.lock() != shared)
        field.setText(entry.shown());
}

void FormEntries::attach(int key, TextField& field) {
    for (Entry& entry : m_entries) {
        if (entry.key == key && entry.kind != Kind::Odometer)
            connect(entry, field);
    }
}

void FormEntries::attach(int key, OdometerView& odometer) {
    for (Entry& entry : m_entries) {
        if (entry.key != key || entry.kind != Kind::Odometer)
            continue;
        connect(entry, odometer.hiddenTextField());
        odometer.setDelegate(weak_from_this());
        if (m_editing.lock().get() != &odometer.hiddenTextField())
            odometer.setValue(OdometerView::intValue(entry.shown()));
    }
}

TextField* FormEntries::field(int key) const {
    // The rows shown are built by the table's layout.
    if (auto table = m_table.lock())
        table->layoutIfNeeded();
    const Entry* entry = entryForKey(key);
    return entry ? entry->field.lock().get() : nullptr;
}

void FormEntries::show(int key) {
    const Entry* entry = entryForKey(key);
    TextField* shown = entry ? entry->field.lock().get() : nullptr;
    if (!shown || shown == m_editing.lock().get())
        return;
    if (entry->kind == Kind::Odometer) {
        if (auto* odometer = dynamic_cast<OdometerView*>(shown->superview()))
            odometer->setValue(OdometerView::intValue(entry->shown()));
    } else {
        shown->setText(entry->shown());
    }
}

// --- Editing

TextField* FormEntries::textFieldBeingEdited() const {
    return m_editing.lock().get();
}

std::optional<int> FormEntries::keyBeingEdited() const {
    auto editing = m_editing.lock();
    for (const Entry& entry : m_entries) {
        if (editing && entry.field.lock() == editing)
            return entry.key;
    }
    return std::nullopt;
}

bool FormEntries::beginEditing(int key) {
    if (auto table = m_table.lock())
        table->layoutIfNeeded();
    const Entry* entry = entryForKey(key);
    auto shown = entry ? entry->field.lock() : nullptr;
    if (!shown)
        return false;
    if (entry->kind == Kind::Odometer && shown->superview())
        return shown->superview()->becomeFirstResponder();
    return shown->becomeFirstResponder();
}

void FormEntries::resign() {
    if (auto editing = m_editing.lock())
        editing->resignFirstResponder();
}

double FormEntries::numberValue(int key) const {
    const Entry* entry = entryForKey(key);
    if (!entry || !entry->number)
        return 0;
    auto shown = entry->field.lock();
    if (shown && shown == m_editing.lock() && shown->text() != m_textAtBegin)
        return entry->kind == Kind::Odometer ? OdometerView::intValue(shown->text())
                                             : typedNumber(shown->text());
    return entry->number();
}

bool FormEntries::accepts(const Entry& entry, const std::string& before, const std::string& after,
    const std::string& replacement) const {
    if (replacement.empty())
        return true;
    switch (entry.kind) {
    case Kind::Text:
        return characterCount(before) < kMaximumTextLength;
    case Kind::WholeNumber:
        return (isDigits(replacement) || !entry.digitsOnly)
            && characterCount(after) <= size_t(entry.maxDigits);
    case Kind::Decimal:
    case Kind::Money: {
        if (characterCount(after) > kMaximumTextLength || !isTypedNumber(after, GetDecimalSeparator()))
            return false;
        std::optional<double> value = ParseTypedNumber(after);
        // A lone separator is on its way to a number; anything else must be one.
        return after == GetDecimalSeparator() || (value && std::isfinite(*value));
    }
    case Kind::Odometer:
        return true;
    }
    return true;
}

bool FormEntries::shouldChangeCharactersInRange(
    TextField& field, TextRange range, const std::string& replacement) {
    const Entry* entry = entryFor(field);
    if (!entry)
        return characterCount(field.text()) < kMaximumTextLength || replacement.empty();
    const std::string& before = field.text();
    size_t at = std::min(range.location, before.size());
    std::string after = before;
    after.replace(at, std::min(range.length, before.size() - at), replacement);
    return accepts(*entry, before, after, replacement);
}

void FormEntries::textFieldDidBeginEditing(TextField& field) {
    auto screen = m_screen.lock();
    if (!screen)
        return;
    addStockButtonToKeypad(Application::sharedApplication());
    m_editing = std::static_pointer_cast<TextField>(field.sharedFromThis());
    const Entry* entry = entryFor(field);
    if (entry && (entry->kind == Kind::Decimal || entry->kind == Kind::Money))
        field.setText(entry->editing());
    m_textAtBegin = field.text();
}

void FormEntries::textFieldDidEndEditing(TextField& field) {
    auto screen = m_screen.lock();
    if (!screen)
        return;
    auto keep = shared_from_this();
    bool wasEditing = m_editing.lock().get() == &field;
    if (wasEditing)
        m_editing.reset();
    Entry* entry = entryFor(field);
    if (!entry)
        return;
    const std::string text = field.text();
    switch (entry->kind) {
    case Kind::Text:
    case Kind::Odometer:
        entry->store(text);
        break;
    case Kind::WholeNumber:
    case Kind::Decimal:
    case Kind::Money:
        // Focusing an entry and leaving it stores nothing: the record keeps its exact value.
        if (!wasEditing || text != m_textAtBegin)
            entry->store(text);
        field.setText(entry->shown());
        break;
    }
}

bool FormEntries::textFieldShouldReturn(TextField& field) {
    field.resignFirstResponder();
    return false;
}

void FormEntries::liftTable(bool keyboardShown) {
    auto table = m_table.lock();
    if (!table || m_screen.expired())
        return;
    double lift = 0;
    if (keyboardShown) {
        auto editing = m_editing.lock();
        if (const Entry* entry = editing ? entryFor(*editing) : nullptr) {
            // The lifts are measured for the smallest screen; a taller one has that much
            // more room above the keyboard.
            double extra = Screen::mainScreen().height() - Screen::kMinimumHeight;
            lift = std::max(0.0, entry->lift - extra);
        }
    }
    if (lift <= 0 && !m_restingFrame)
        return;
    if (!m_restingFrame)
        m_restingFrame = table->frame();
    Rect rest = *m_restingFrame;
    // Lifted, the form is as tall as the screen, as the forms have always been.
    Rect frame
        = lift > 0 ? Rect {rest.x(), rest.y() - lift, rest.width(), Screen::mainScreen().height()} : rest;
    if (lift <= 0)
        m_restingFrame.reset();
    if (table->frame() != frame)
        View::animate(0.25, AnimationCurve::EaseOut, [table, frame] { table->setFrame(frame); });
}
