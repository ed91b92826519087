#pragma once

#include <memory>

#include "model/Service.h"
#include "platform/views/Button.h"
#include "platform/views/ImageView.h"
#include "platform/views/Label.h"
#include "ui/ThemedViewController.h"

class NotesView;
class OdometerView;

// One scheduled service of a car: its name and interval with a due-status indicator, when
// it is next due (reading and date) and its last performance (reading, date, cost, notes).
// Add records a new performance; the buttons open the history and the interval editor. The
// service is read afresh each time the screen is about to appear.
class LastServiceViewController : public ThemedViewController {
public:
    static constexpr const char* kLayoutName = "LastServiceViewController";
    static constexpr double kIndicatorCornerRadius = 4;

    // The views of the layout.
    struct Views {
        std::shared_ptr<platform::views::View> serviceNameView;
        std::shared_ptr<platform::views::Label> serviceNameLabel;
        std::shared_ptr<platform::views::Label> descriptionLabel;
        std::shared_ptr<platform::views::ImageView> statusIndicatorView;
        std::shared_ptr<platform::views::View> nextDueView;
        std::shared_ptr<OdometerView> nextDueOdometer;
        std::shared_ptr<platform::views::Label> nextDueDateLabel;
        std::shared_ptr<platform::views::View> lastRecordedView;
        std::shared_ptr<OdometerView> lastRecordedOdometer;
        std::shared_ptr<platform::views::Label> lastRecordedDateLabel;
        std::shared_ptr<platform::views::Label> costLabel;
        std::shared_ptr<NotesView> notesView;
        // Captions of the panels and of the cost.
        std::shared_ptr<platform::views::Label> nextDueCaption;
        std::shared_ptr<platform::views::Label> lastRecordedCaption;
        std::shared_ptr<platform::views::Label> costCaption;
        std::shared_ptr<platform::views::Button> historyButton;
        std::shared_ptr<platform::views::Button> editButton;
    };

    // The screen needs the service's serviceID and vehicleID.
    explicit LastServiceViewController(const Service& service);

    const Service& service() const { return m_service; }
    // The layout's views (made when the view loads).
    const Views& views() {
        view();
        return m_views;
    }
    void setViews(Views views) { m_views = std::move(views); }
    // The indicator's colour as last shown.
    DueStatus status() const { return m_status; }

    // Reads the service afresh and shows it.
    void refreshView();
    void recordService();
    void showServiceHistory();
    void editService();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    Service m_service;
    Views m_views;
    DueStatus m_status {DueStatus::NotRecorded};
};
