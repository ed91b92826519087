#include "screens/LastServiceViewController.h"

#include <algorithm>
#include <cctype>

#include "QLCoreLibrary/ImageExtensions.h"
#include "QLCoreLibrary/ValueText.h"
#include "data/DB.h"
#include "model/SettingsManager.h"
#include "platform/views/NavigationController.h"
#include "platform/views/Screen.h"
#include "screens/EditServiceViewController.h"
#include "screens/RecordServiceViewController.h"
#include "screens/ServiceHistoryViewController.h"
#include "ui/NotesView.h"
#include "ui/OdometerView.h"
#include "ui/ThemedView.h"
#include "ui/VTPlainCellBackgroundView.h"

using namespace platform::views;

namespace {

constexpr double kNameHeight = 64;
constexpr double kNextDueHeight = 52;
constexpr double kLastRecordedHeight = 80;
constexpr double kButtonHeight = 36;
constexpr double kMargin = 10;

std::string lowercased(std::string text) {
    std::transform(
        text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string dateText(const std::optional<platform::Date>& date) {
    return date ? FormatDate(*date, DateStyle::Medium) : "";
}

std::shared_ptr<Label> addLabel(View& panel, Rect frame, TextAlignment alignment = TextAlignment::Left) {
    auto label = std::make_shared<Label>(frame);
    label->setTextAlignment(alignment);
    if (alignment == TextAlignment::Right)
        label->setAutoresizingMask(AutoresizingFlexibleWidth);
    panel.addSubview(label);
    return label;
}

std::shared_ptr<View> addPanel(View& root, double y, double height) {
    auto panel = std::make_shared<VTPlainCellBackgroundView>(Rect(0, y, root.bounds().width(), height));
    panel->setAutoresizingMask(AutoresizingFlexibleWidth);
    root.addSubview(panel);
    return panel;
}

// Three panels down the screen (the service, next due, last recorded), the two buttons, and
// the notes filling the rest.
void buildLayout(ViewController& controller) {
    auto& screen = static_cast<LastServiceViewController&>(controller);
    auto root = std::make_shared<ThemedView>(Screen::mainScreen().contentBounds());
    root->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    const double W = root->bounds().width();
    const double valueX = 140, valueWidth = W - valueX - kMargin;
    LastServiceViewController::Views v;

    double y = 0;
    v.serviceNameView = addPanel(*root, y, kNameHeight);
    v.statusIndicatorView = std::make_shared<ImageView>(Rect(kMargin, 12, 40, 40));
    v.serviceNameView->addSubview(v.statusIndicatorView);
    v.serviceNameLabel = addLabel(*v.serviceNameView, {60, 8, W - 60 - kMargin, 26}, TextAlignment::Left);
    v.descriptionLabel = addLabel(*v.serviceNameView, {60, 36, W - 60 - kMargin, 18});
    v.serviceNameLabel->setAutoresizingMask(AutoresizingFlexibleWidth);
    v.descriptionLabel->setAutoresizingMask(AutoresizingFlexibleWidth);
    y += kNameHeight;

    v.nextDueView = addPanel(*root, y, kNextDueHeight);
    v.nextDueCaption = addLabel(*v.nextDueView, {kMargin, 4, 150, 16});
    v.nextDueCaption->setText("Next Due");
    v.nextDueOdometer = std::make_shared<OdometerView>(Rect(kMargin, 22, 120, 0));
    v.nextDueView->addSubview(v.nextDueOdometer);
    v.nextDueDateLabel = addLabel(*v.nextDueView, {valueX, 22, valueWidth, 24}, TextAlignment::Right);
    y += kNextDueHeight;

    v.lastRecordedView = addPanel(*root, y, kLastRecordedHeight);
    v.lastRecordedCaption = addLabel(*v.lastRecordedView, {kMargin, 4, 150, 16});
    v.lastRecordedCaption->setText("Last Recorded");
    v.lastRecordedOdometer = std::make_shared<OdometerView>(Rect(kMargin, 22, 120, 0));
    v.lastRecordedView->addSubview(v.lastRecordedOdometer);
    v.lastRecordedDateLabel
        = addLabel(*v.lastRecordedView, {valueX, 22, valueWidth, 24}, TextAlignment::Right);
    v.costCaption = addLabel(*v.lastRecordedView, {kMargin, 54, 100, 18});
    v.costCaption->setText("Cost");
    v.costLabel = addLabel(*v.lastRecordedView, {valueX, 50, valueWidth, 24}, TextAlignment::Right);
    y += kLastRecordedHeight + kMargin;

    double buttonWidth = (W - 3 * kMargin) / 2;
    v.historyButton = Button::buttonWithType(ButtonType::Custom);
    v.historyButton->setFrame({kMargin, y, buttonWidth, kButtonHeight});
    v.historyButton->setTitle("Service History");
    v.historyButton->addTarget(
        screen.action(&LastServiceViewController::showServiceHistory), ControlEventTouchUpInside);
    v.editButton = Button::buttonWithType(ButtonType::Custom);
    v.editButton->setFrame({2 * kMargin + buttonWidth, y, buttonWidth, kButtonHeight});
    v.editButton->setTitle("Edit Interval");
    v.editButton->addTarget(
        screen.action(&LastServiceViewController::editService), ControlEventTouchUpInside);
    root->addSubview(v.historyButton);
    root->addSubview(v.editButton);
    y += kButtonHeight + kMargin;

    v.notesView = std::make_shared<NotesView>(Rect(0, y, W, root->bounds().height() - y));
    v.notesView->setEditable(false);
    v.notesView->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    root->addSubview(v.notesView);

    screen.setView(root);
    screen.setViews(std::move(v));
}

} // namespace

LastServiceViewController::LastServiceViewController(const Service& service)
    : ThemedViewController(kLayoutName, buildLayout)
    , m_service(service) { }

void LastServiceViewController::viewDidLoad() {
    ThemedViewController::viewDidLoad();
    setTitle("Service");
    navigationItem().setRightBarButtonItem(std::make_shared<BarButtonItem>(
        BarButtonSystemItem::Add, action(&LastServiceViewController::recordService)));
}

void LastServiceViewController::viewWillAppear(bool animated) {
    ThemedViewController::viewWillAppear(animated);
    refreshView();
}

void LastServiceViewController::refreshView() {
    const Views& v = views();
    for (const auto& label : {v.serviceNameLabel, v.nextDueDateLabel, v.lastRecordedDateLabel, v.costLabel})
        setLargeFont(*label);
    setSmallFont(*v.descriptionLabel);
    for (const auto& caption : {v.nextDueCaption, v.lastRecordedCaption, v.costCaption})
        setExtraSmallFont(*caption);
    for (const auto& panel : {v.serviceNameView, v.nextDueView, v.lastRecordedView}) {
        if (auto* background = dynamic_cast<VTPlainCellBackgroundView*>(panel.get()))
            applyThemeToBackgroundView(*background);
    }
    applyThemeToButton(*v.historyButton, true);
    applyThemeToButton(*v.editButton, true);

    Service stored = DB::lastService(m_service.serviceID, m_service.vehicleID);
    // A service that is gone (removed elsewhere) keeps showing what was last read.
    if (stored.serviceID == m_service.serviceID && stored.vehicleID == m_service.vehicleID)
        m_service = std::move(stored);

    SettingsManager& settings = SettingsManager::sharedManager();
    v.serviceNameLabel->setText(m_service.name);
    v.descriptionLabel->setText("Every " + std::to_string(m_service.frequencyInMiles) + " "
        + lowercased(settings.distanceUnitName()) + " or " + std::to_string(m_service.frequencyInMonths)
        + " months");
    v.nextDueOdometer->setValue(m_service.dueMiles);
    v.nextDueDateLabel->setText(dateText(m_service.dueDate));
    v.lastRecordedOdometer->setValue(m_service.odometer);
    v.lastRecordedDateLabel->setText(dateText(m_service.datePerformed));
    v.costLabel->setText(FormatCurrency(m_service.cost));

    m_status = m_service.dueStatus(settings.distanceBeforeDue(), settings.daysBeforeDue());
    v.statusIndicatorView->setImage(glossyImageWithColor(
        dueStatusColor(m_status), v.statusIndicatorView->bounds().size, kIndicatorCornerRadius));
    v.notesView->setText(m_service.notes);
}

void LastServiceViewController::recordService() {
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(std::make_shared<RecordServiceViewController>(m_service, true), true);
}

void LastServiceViewController::showServiceHistory() {
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(std::make_shared<ServiceHistoryViewController>(m_service), true);
}

void LastServiceViewController::editService() {
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(std::make_shared<EditServiceViewController>(m_service), true);
}
