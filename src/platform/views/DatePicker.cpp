#include "platform/views/DatePicker.h"

#include <algorithm>

#include "platform/base/Calendar.h"
#include "platform/base/Clock.h"
#include "platform/base/DateFormatter.h"
#include "platform/views/Screen.h"

namespace platform::views {

namespace {

constexpr int kDefaultFirstYear = 1900;
constexpr int kDefaultLastYear = 2100;

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[(month - 1) % 12];
}

} // namespace

class DatePicker::Wheels : public PickerViewDataSource, public PickerViewDelegate {
public:
    explicit Wheels(DatePicker& owner)
        : m_owner(owner) { }
    int numberOfComponentsInPickerView(PickerView&) override { return 3; }
    int numberOfRowsInComponent(PickerView&, int component) override {
        return m_owner.numberOfRowsInComponent(component);
    }
    std::string titleForRow(PickerView&, int row, int component) override {
        return m_owner.titleForRow(row, component);
    }
    void didSelectRow(PickerView&, int, int) override { m_owner.didSelectRow(); }
    double widthForComponent(PickerView&, int component) override {
        return m_owner.widthForComponent(component);
    }

private:
    DatePicker& m_owner;
};

DatePicker::DatePicker()
    : DatePicker(Rect(0, 0, Screen::kWidth, PickerView::kHeight)) { }

DatePicker::DatePicker(Rect frame)
    : Control(Rect(frame.origin, {frame.width() > 0 ? frame.width() : Screen::kWidth, PickerView::kHeight}))
    , m_date(Clock::now())
    , m_picker(std::make_shared<PickerView>(
          Rect(0, 0, frame.width() > 0 ? frame.width() : Screen::kWidth, PickerView::kHeight))) {
    m_picker->setAutoresizingMask(AutoresizingFlexibleWidth);
    addSubview(m_picker);
    m_wheels = std::make_shared<Wheels>(*this);
    m_picker->setDelegate(m_wheels);
    m_picker->setDataSource(m_wheels);
    showDate();
}

int DatePicker::firstYear() const {
    return m_minimumDate ? *Calendar().components(*m_minimumDate).year : kDefaultFirstYear;
}

void DatePicker::setDate(Date date, bool) {
    m_date = clamp(date);
    showDate();
}

void DatePicker::setMinimumDate(std::optional<Date> date) {
    m_minimumDate = date;
    m_picker->reloadAllComponents();
    m_date = clamp(m_date);
    showDate();
}

void DatePicker::setMaximumDate(std::optional<Date> date) {
    m_maximumDate = date;
    m_picker->reloadAllComponents();
    m_date = clamp(m_date);
    showDate();
}

Date DatePicker::clamp(Date date) const {
    if (m_minimumDate && date < *m_minimumDate)
        return *m_minimumDate;
    if (m_maximumDate && date > *m_maximumDate)
        return *m_maximumDate;
    return date;
}

void DatePicker::showDate() {
    DateComponents c = Calendar().components(m_date);
    m_picker->selectRow(c.month.value_or(1) - 1, 0, false);
    m_picker->selectRow(c.day.value_or(1) - 1, 1, false);
    m_picker->selectRow(c.year.value_or(firstYear()) - firstYear(), 2, false);
}

void DatePicker::layoutSubviews() {
    m_picker->setFrame(Rect(0, 0, bounds().width(), PickerView::kHeight));
}

int DatePicker::numberOfRowsInComponent(int component) const {
    switch (component) {
    case 0:
        return 12;
    case 1:
        return 31;
    default: {
        int last = m_maximumDate ? *Calendar().components(*m_maximumDate).year : kDefaultLastYear;
        return std::max(1, last - firstYear() + 1);
    }
    }
}

std::string DatePicker::titleForRow(int row, int component) const {
    switch (component) {
    case 0: {
        DateFormatter formatter;
        formatter.setDateFormat("MMMM");
        formatter.setTimeZone("GMT");
        DateComponents c;
        c.year = 2001;
        c.month = row + 1;
        c.day = 15;
        return formatter.stringFromDate(Calendar("GMT").dateFromComponents(c));
    }
    case 1:
        return std::to_string(row + 1);
    default:
        return std::to_string(firstYear() + row);
    }
}

double DatePicker::widthForComponent(int component) const {
    double width = bounds().width() - 32 - 8;
    switch (component) {
    case 0:
        return width * 0.48;
    case 1:
        return width * 0.20;
    default:
        return width * 0.32;
    }
}

void DatePicker::didSelectRow() {
    auto keep = shared_from_this();
    Calendar calendar;
    DateComponents c = calendar.components(m_date);
    int month = m_picker->selectedRowInComponent(0) + 1;
    int year = firstYear() + m_picker->selectedRowInComponent(2);
    int day = std::min(m_picker->selectedRowInComponent(1) + 1, daysInMonth(year, month));
    c.year = year;
    c.month = month;
    c.day = day;
    c.weekday.reset();
    Date picked = clamp(calendar.dateFromComponents(c));
    bool changed = picked != m_date;
    m_date = picked;
    showDate();
    if (changed)
        sendActionsForControlEvents(ControlEventValueChanged);
}

} // namespace platform::views
