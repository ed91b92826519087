#pragma once

#include <memory>

#include "model/Service.h"
#include "platform/views/TextField.h"
#include "ui/RecordFormViewController.h"

// Enters one performance of a scheduled service: its date, odometer reading (required),
// cost and notes. It records a new performance or corrects a stored one; Save stores it
// and, when the settings ask for it, raises the car's odometer to the reading. Edits live in
// the screen's own copy until Save; leaving by the back button discards them.
class RecordServiceViewController : public RecordFormViewController {
public:
    static constexpr const char* kLayoutName = "RecordServiceViewController";
    enum : int { kDateRow = 0, kOdometerRow = 1, kCostRow = 2, kNotesRow = 3 };
    static constexpr int kRowCount = 4;

    // With `createNew` the copy becomes a new performance dated now, with no reading, no
    // cost and no notes (a service never performed keeps its record, which the store holds
    // for it unrecorded); otherwise the given performance is edited as it is.
    RecordServiceViewController(const Service& service, bool createNew);

    const Service& service() const { return m_service; }
    const std::shared_ptr<platform::views::TableView>& serviceTableView() { return tableView(); }
    // The cost entry while its row is shown, or none.
    platform::views::TextField* costField() { return entries().field(kCostRow); }

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

    int numberOfRowsInSection(platform::views::TableView&, int) override { return kRowCount; }
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

private:
    std::optional<platform::Date>& recordDate() override { return m_service.datePerformed; }
    std::string& recordNotes() override { return m_service.notes; }
    std::int32_t recordOdometer() const override { return m_service.odometer; }
    bool store() override;

    Service m_service;
};
