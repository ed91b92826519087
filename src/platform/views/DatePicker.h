#pragma once

#include <memory>
#include <optional>

#include "platform/base/Date.h"
#include "platform/views/Control.h"
#include "platform/views/PickerView.h"

namespace platform::views {

enum class DatePickerMode { Date };

// Picks a calendar day on three wheels (month, day, year) in the device time zone. The
// date keeps its time of day; turning a wheel sends ValueChanged, setDate from code does
// not. Dates outside minimumDate..maximumDate are moved back inside; a day past the end of
// the month becomes the month's last day.
class DatePicker : public Control {
public:
    DatePicker();
    explicit DatePicker(Rect frame);

    DatePickerMode datePickerMode() const { return m_mode; }
    void setDatePickerMode(DatePickerMode mode) { m_mode = mode; }
    Date date() const { return m_date; }
    void setDate(Date date, bool animated = false);
    std::optional<Date> minimumDate() const { return m_minimumDate; }
    void setMinimumDate(std::optional<Date> date);
    std::optional<Date> maximumDate() const { return m_maximumDate; }
    void setMaximumDate(std::optional<Date> date);

    // The wheels (0 month, 1 day, 2 year), for tests and screens that look inside.
    PickerView& pickerView() const { return *m_picker; }
    int firstYear() const;

    void layoutSubviews() override;
    // The wheels take their own touches.
    View* hitTest(Point point) override { return View::hitTest(point); }

private:
    // The wheels' data source and delegate, owned by the date picker, so that the wheels
    // never call a date picker that has gone.
    class Wheels;
    int numberOfRowsInComponent(int component) const;
    std::string titleForRow(int row, int component) const;
    void didSelectRow();
    double widthForComponent(int component) const;
    void showDate();
    Date clamp(Date date) const;

    DatePickerMode m_mode {DatePickerMode::Date};
    Date m_date;
    std::optional<Date> m_minimumDate;
    std::optional<Date> m_maximumDate;
    std::shared_ptr<PickerView> m_picker;
    std::shared_ptr<Wheels> m_wheels;
};

} // namespace platform::views
