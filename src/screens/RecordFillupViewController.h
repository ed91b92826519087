#pragma once

#include <memory>
#include <string>

#include "model/Fillup.h"
#include "platform/views/TextField.h"
#include "ui/RecordFormViewController.h"

// Records a fill-up of a car or corrects a stored one: date, odometer reading, quantity,
// price per unit, total cost, type (Full, Partial, Reset) and notes, in the fuel unit of the
// settings. The total is never stored: it is quantity x price, kept up to date while either
// is typed, and typing a total works the price out from the quantity. Save requires an
// odometer reading and a quantity and, when the settings say so, raises the car's odometer.
// Leaving by the back button discards the edits.
class RecordFillupViewController : public RecordFormViewController {
public:
    static constexpr const char* kLayoutName = "RecordFillupViewController";
    // Rows; each row's entry goes by its row.
    enum : int {
        kDateRow = 0,
        kOdometerRow = 1,
        kQuantityRow = 2,
        kCostPerUnitRow = 3,
        kTotalCostRow = 4,
        kTypeRow = 5,
        kNotesRow = 6,
        kRowCount = 7
    };
    // The form rises by this much while the price or the total has the keyboard.
    static constexpr double kLift = 80;

    // With `createNew` the record becomes a new fill-up of the same car and type: now, no
    // odometer reading, no quantity or price, the settings' fuel unit, no notes, and a
    // fillupID of 0 so that Save inserts.
    RecordFillupViewController(const Fillup& fillup, bool createNew);

    const Fillup& fillup() const { return m_fillup; }
    platform::views::TextField* quantityField() { return entries().field(kQuantityRow); }
    platform::views::TextField* costPerUnitField() { return entries().field(kCostPerUnitRow); }
    platform::views::TextField* totalCostField() { return entries().field(kTotalCostRow); }
    // "Full", "Partial" or "Reset".
    static std::string typeName(int type);

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

    int numberOfRowsInSection(platform::views::TableView&, int) override { return kRowCount; }
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

    // Also takes the type chosen.
    void didSelectValue(
        platform::views::ViewController& editor, const EditorValue& value, int index) override;

private:
    std::optional<platform::Date>& recordDate() override { return m_fillup.date; }
    std::string& recordNotes() override { return m_fillup.notes; }
    std::int32_t recordOdometer() const override { return m_fillup.odometer; }
    std::optional<std::string> missingValue() const override;
    bool store() override;

    // Keeps the total, or the price, in step with what is being typed.
    void entryChanged(int key);

    Fillup m_fillup;
};
