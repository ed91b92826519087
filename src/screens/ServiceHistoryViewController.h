#pragma once

#include <memory>
#include <vector>

#include "model/Service.h"
#include "ui/ThemedTableViewController.h"

// Every recorded performance of one service of one car, with its date, reading and notes.
// A row opens the performance to correct it; Edit and swipe delete performances. While
// there is none, one row invites the user to record the first. Read afresh each time the
// screen is about to appear.
class ServiceHistoryViewController : public ThemedTableViewController {
public:
    static constexpr const char* kLayoutName = "ServiceHistoryViewController";
    static constexpr const char* kCellIdentifier = "service-history-cell";
    static constexpr const char* kPlaceholderIdentifier = "service-history-placeholder";
    // A performance row's views.
    enum : int { kDateTag = 1, kOdometerTag = 2, kNotesTag = 3 };
    static constexpr double kRowHeight = 64;
    static constexpr double kPlaceholderHeight = 90;

    explicit ServiceHistoryViewController(const Service& service);

    const Service& service() const { return m_service; }
    const std::vector<Service>& history() const { return m_history; }
    const std::shared_ptr<platform::views::TableView>& serviceTableView() { return tableView(); }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    int numberOfRowsInSection(platform::views::TableView&, int) override {
        return m_history.empty() ? 1 : int(m_history.size());
    }
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    double heightForRowAtIndexPath(platform::views::TableView&, platform::views::IndexPath) override {
        return m_history.empty() ? kPlaceholderHeight : kRowHeight;
    }
    void willDisplayCell(platform::views::TableView&, platform::views::TableViewCell& cell,
        platform::views::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    bool canEditRowAtIndexPath(platform::views::TableView&, platform::views::IndexPath) override {
        return !m_history.empty();
    }
    void commitEditingStyle(platform::views::TableView& table,
        platform::views::TableViewCellEditingStyle style, platform::views::IndexPath indexPath) override;

private:
    class HistoryCell;
    // The service as stored now: its record is the one a first performance is written into.
    void reloadService();

    Service m_service;
    std::vector<Service> m_history;
};
