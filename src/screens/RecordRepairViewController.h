#pragma once

#include <memory>

#include "model/Repair.h"
#include "platform/views/TextField.h"
#include "ui/RecordFormViewController.h"

// Records a repair of a car or corrects a stored one: its name, date, odometer reading, cost
// and notes. The screen edits its own copy of the repair; Save stores it (the odometer
// reading is required, the name is not) and, when the settings say so, raises the car's
// odometer. Leaving by the back button discards the edits.
class RecordRepairViewController : public RecordFormViewController {
public:
    static constexpr const char* kLayoutName = "RecordRepairViewController";
    // Rows; each row's entry goes by its row.
    enum : int { kNameRow = 0, kDateRow = 1, kOdometerRow = 2, kCostRow = 3, kNotesRow = 4, kRowCount = 5 };
    // The form rises by this much while the odometer or the cost has the keyboard.
    static constexpr double kLift = 40;

    // With `createNew` the copy becomes a new repair (same car and name): today, no odometer
    // reading yet, no cost, no notes, and a repairID of 0 so that Save inserts.
    RecordRepairViewController(const Repair& repair, bool createNew);

    const Repair& repair() const { return m_repair; }
    platform::views::TextField* nameField() { return entries().field(kNameRow); }
    platform::views::TextField* costField() { return entries().field(kCostRow); }

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

    int numberOfRowsInSection(platform::views::TableView&, int) override { return kRowCount; }
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

private:
    std::optional<platform::Date>& recordDate() override { return m_repair.datePerformed; }
    std::string& recordNotes() override { return m_repair.notes; }
    std::int32_t recordOdometer() const override { return m_repair.odometer; }
    bool store() override;

    Repair m_repair;
};
