#pragma once

#include <memory>

#include "model/Service.h"
#include "platform/views/TextField.h"
#include "ui/ThemedTableViewController.h"

// Creates a scheduled service of a car or changes one: its name and its interval, a
// distance (up to six digits) and a number of months (up to three). Save checks that all
// three are given and stores them; leaving by the back button stores nothing.
class EditServiceViewController : public ThemedTableViewController {
public:
    static constexpr const char* kLayoutName = "EditServiceViewController";
    static constexpr const char* kCellIdentifier = "service-cell";
    static constexpr int kLabelTag = 4096;
    // The entries, by the tag of their field (section + row + 1).
    enum : int { kNameTag = 1, kDistanceTag = 2, kMonthsTag = 3 };
    static constexpr int kDistanceDigits = 6;
    static constexpr int kMonthsDigits = 3;

    // A service with serviceID 0 is new.
    explicit EditServiceViewController(const Service& service);

    const Service& service() const { return m_service; }
    const std::shared_ptr<platform::views::TableView>& serviceTableView() { return tableView(); }
    platform::views::TextField* textFieldBeingEdited() { return entries().textFieldBeingEdited(); }
    // The field of `tag` while its row is shown, or none.
    platform::views::TextField* field(int tag) { return entries().field(tag); }

    void saveButtonPressed();

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

    int numberOfSectionsInTableView(platform::views::TableView&) override { return 2; }
    int numberOfRowsInSection(platform::views::TableView&, int section) override {
        return section == 0 ? 1 : 2;
    }
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    double heightForHeaderInSection(platform::views::TableView&, int) override { return 32; }
    std::shared_ptr<platform::views::View> viewForHeaderInSection(
        platform::views::TableView&, int section) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

private:
    Service m_service;
};
