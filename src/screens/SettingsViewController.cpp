#include "screens/SettingsViewController.h"

#include <cctype>

#include "QLCoreLibrary/ApplicationExtensions.h"
#include "QLCoreLibrary/QLRoundedRectView.h"
#include "model/SettingsManager.h"
#include "platform/views/Application.h"
#include "platform/views/Label.h"
#include "platform/views/LayoutRegistry.h"
#include "platform/views/NavigationController.h"
#include "ui/SelectionViewController.h"
#include "ui/ThemeSelectionViewController.h"
#include "ui/ThemedView.h"

using namespace platform::views;

namespace {

const char* const kUnitLabels[] = {"Distance", "Fuel", "Economy", "Consumption"};

void buildLayout(ViewController& controller) {
    auto& screen = static_cast<SettingsViewController&>(controller);
    auto background = std::make_shared<ThemedView>(Rect(0, 0, 320, 416));
    background->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    auto table = std::make_shared<TableView>(background->bounds(), TableViewStyle::Grouped);
    table->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    background->addSubview(table);
    screen.setView(background);
    screen.setSettingsTable(table);
}

std::vector<std::string> unitNames(int row) {
    switch (row) {
    case 0:
        return SettingsManager::distanceUnits();
    case 1:
        return SettingsManager::fuelUnits();
    case 2:
        return SettingsManager::fuelEconomyUnits();
    default:
        return SettingsManager::fuelEfficiencyUnits();
    }
}

std::string unitName(int row) {
    SettingsManager& settings = SettingsManager::sharedManager();
    switch (row) {
    case 0:
        return settings.distanceUnitName();
    case 1:
        return settings.fuelUnitName();
    case 2:
        return settings.fuelEconomyUnitName();
    default:
        return settings.fuelEfficiencyUnitName();
    }
}

std::shared_ptr<TableViewCell> dequeue(
    TableView& table, const char* identifier, TableViewCellStyle style, bool& made) {
    std::shared_ptr<TableViewCell> cell = table.dequeueReusableCellWithIdentifier(identifier);
    made = !cell;
    if (!cell)
        cell = std::make_shared<TableViewCell>(style, identifier);
    return cell;
}

} // namespace

SettingsViewController::SettingsViewController() {
    // Registered on first use: a static initialiser in a static library may never be linked.
    if (!LayoutRegistry::hasLayout(kLayoutName))
        LayoutRegistry::registerLayout(kLayoutName, buildLayout);
    setLayout(LayoutRegistry::layoutNamed(kLayoutName));
}

SettingsViewController::~SettingsViewController() {
    if (m_settingsTable) {
        m_settingsTable->setDataSource(nullptr);
        m_settingsTable->setDelegate(nullptr);
        // The threshold entries live on in reused cells until the table goes.
        for (TableViewCell* cell : m_settingsTable->visibleCells()) {
            for (const auto& subview : cell->contentView().subviews()) {
                if (auto* field = dynamic_cast<TextField*>(subview.get()); field && field->delegate() == this)
                    field->setDelegate(nullptr);
            }
        }
    }
}

void SettingsViewController::setSettingsTable(std::shared_ptr<TableView> table) {
    m_settingsTable = std::move(table);
}

void SettingsViewController::viewDidLoad() {
    ThemedViewController::viewDidLoad();
    setTitle("Settings");
    m_sections = {"Service Alerts", "Units", "Preferences"};
    if (m_settingsTable) {
        m_settingsTable->setDataSource(this);
        m_settingsTable->setDelegate(this);
    }
}

void SettingsViewController::viewWillDisappear(bool animated) {
    ThemedViewController::viewWillDisappear(animated);
    // A threshold being typed is kept when the user leaves.
    if (m_textFieldBeingEdited)
        m_textFieldBeingEdited->resignFirstResponder();
}

int SettingsViewController::thresholdValue(const std::string& text) {
    long long value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            break;
        value = value * 10 + (c - '0');
        if (value >= kMaximumThreshold)
            return kMaximumThreshold;
    }
    return static_cast<int>(value);
}

// --- The table

int SettingsViewController::numberOfRowsInSection(TableView&, int section) {
    switch (section) {
    case kServiceAlertsSection:
        return 2;
    case kUnitsSection:
        return 4;
    case kPreferencesSection:
        return 3;
    default:
        return 0;
    }
}

std::shared_ptr<TableViewCell> SettingsViewController::serviceAlertsCell(TableView& table, int row) {
    bool made = false;
    auto cell = dequeue(table, "service-alerts-cell", TableViewCellStyle::Default, made);
    if (made) {
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        View& content = cell->contentView();
        auto field = std::make_shared<TextField>(Rect(content.bounds().width() - 100, 9, 60, 23));
        field->setAutoresizingMask(AutoresizingFlexibleLeftMargin);
        field->setKeyboardType(KeyboardType::NumberPad);
        field->setReturnKeyType(ReturnKeyType::Done);
        field->setTextAlignment(TextAlignment::Right);
        field->setFont(platform::graphics::Font::systemFontOfSize(16));
        field->setDelegate(this);
        content.addSubview(field);
    }
    SettingsManager& settings = SettingsManager::sharedManager();
    TextField* field = nullptr;
    for (const auto& subview : cell->contentView().subviews()) {
        if ((field = dynamic_cast<TextField*>(subview.get())))
            break;
    }
    cell->textLabel().setText(row == 0 ? "Distance Before Due" : "Days Before Due");
    if (field) {
        field->setTag(row == 0 ? kDistanceFieldTag : kDaysFieldTag);
        field->setText(std::to_string(row == 0 ? settings.distanceBeforeDue() : settings.daysBeforeDue()));
        field->setTextColor(firstColor());
    }
    return cell;
}

std::shared_ptr<TableViewCell> SettingsViewController::unitsCell(TableView& table, int row) {
    bool made = false;
    auto cell = dequeue(table, "units-cell", TableViewCellStyle::Value1, made);
    if (made)
        cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    cell->textLabel().setText(kUnitLabels[row % 4]);
    cell->detailTextLabel()->setText(unitName(row));
    return cell;
}

std::shared_ptr<TableViewCell> SettingsViewController::preferencesCell(TableView& table, int row) {
    SettingsManager& settings = SettingsManager::sharedManager();
    bool made = false;
    if (row == 2) {
        auto cell = dequeue(table, "theme-cell", TableViewCellStyle::Default, made);
        if (made) {
            auto swatch = std::make_shared<QLRoundedRectView>(Rect(240, 7, 30, 30));
            swatch->setTag(kSwatchTag);
            swatch->setStrokeSize(3);
            cell->contentView().addSubview(swatch);
        }
        cell->textLabel().setText("Theme Color");
        if (auto* swatch = dynamic_cast<QLRoundedRectView*>(cell->contentView().viewWithTag(kSwatchTag))) {
            swatch->setStrokeColor(firstColor());
            swatch->setBackgroundColor(thirdColor());
        }
        return cell;
    }
    bool reminders = row == 0;
    auto cell = dequeue(
        table, reminders ? "notifications-cell" : "odometer-cell", TableViewCellStyle::Default, made);
    if (made) {
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        auto control = std::make_shared<Switch>(Rect(200, 8, 94, 27));
        control->setTag(kSwitchTag);
        control->addTarget(
            [this, reminders](Control& sender) {
                auto& flip = static_cast<Switch&>(sender);
                if (reminders)
                    notificationsSwitchValueChanged(flip);
                else
                    odometerSwitchValueChanged(flip);
            },
            ControlEventValueChanged);
        cell->contentView().addSubview(control);
    }
    cell->textLabel().setText(reminders ? "Service Reminders" : "Auto Update Odometer");
    if (auto* control = dynamic_cast<Switch*>(cell->contentView().viewWithTag(kSwitchTag)))
        control->setOn(reminders ? settings.serviceReminders() : settings.autoUpdateOdometer());
    return cell;
}

std::shared_ptr<TableViewCell> SettingsViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    std::shared_ptr<TableViewCell> cell;
    switch (indexPath.section) {
    case kServiceAlertsSection:
        cell = serviceAlertsCell(table, indexPath.row);
        break;
    case kUnitsSection:
        cell = unitsCell(table, indexPath.row);
        break;
    default:
        cell = preferencesCell(table, indexPath.row);
        break;
    }
    cell->setBackgroundColor(Color::white(1, 0.5));
    setSmallFont(cell->textLabel());
    if (Label* detail = cell->detailTextLabel())
        setMediumFont(*detail);
    return cell;
}

std::shared_ptr<View> SettingsViewController::viewForHeaderInSection(TableView&, int section) {
    if (section < 0 || size_t(section) >= m_sections.size())
        return nullptr;
    return tableHeaderViewWithText(m_sections[size_t(section)]);
}

void SettingsViewController::willDisplayCell(TableView&, TableViewCell& cell, IndexPath indexPath) {
    if (indexPath.section == kUnitsSection)
        return;
    for (const auto& subview : cell.contentView().subviews()) {
        if (subview->tag() != 0) {
            cell.contentView().bringSubviewToFront(subview.get());
            break;
        }
    }
}

void SettingsViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    NavigationController* navigation = navigationController();
    switch (indexPath.section) {
    case kServiceAlertsSection:
        if (TableViewCell* cell = table.cellForRowAtIndexPath(indexPath)) {
            for (const auto& subview : cell->contentView().subviews()) {
                if (auto* field = dynamic_cast<TextField*>(subview.get())) {
                    field->becomeFirstResponder();
                    break;
                }
            }
        }
        break;
    case kUnitsSection: {
        auto list
            = std::make_shared<SelectionViewController>(unitNames(indexPath.row), unitName(indexPath.row));
        list->setTitle(std::string(kUnitLabels[indexPath.row % 4]) + " Unit");
        list->setAllowAddNew(false);
        list->setDelegate(this);
        list->view()->setTag(indexPath.row);
        if (navigation)
            navigation->pushViewController(list, true);
        break;
    }
    case kPreferencesSection:
        if (indexPath.row == 2 && navigation)
            navigation->pushViewController(std::make_shared<ThemeSelectionViewController>(), true);
        break;
    default:
        break;
    }
}

void SettingsViewController::didSelectValue(ViewController& editor, const EditorValue&, int index) {
    SettingsManager& settings = SettingsManager::sharedManager();
    switch (editor.view()->tag()) {
    case 0:
        settings.setDistanceUnit(index);
        break;
    case 1:
        settings.setFuelUnit(index);
        break;
    case 2:
        settings.setFuelEconomyUnit(index);
        break;
    case 3:
        settings.setFuelEfficiencyUnit(index);
        break;
    default:
        break;
    }
    settings.save();
    if (m_settingsTable)
        m_settingsTable->reloadData();
}

void SettingsViewController::notificationsSwitchValueChanged(Switch& control) {
    SettingsManager::sharedManager().setServiceReminders(control.isOn());
}

void SettingsViewController::odometerSwitchValueChanged(Switch& control) {
    SettingsManager::sharedManager().setAutoUpdateOdometer(control.isOn());
}

// --- Threshold entries

void SettingsViewController::textFieldDidBeginEditing(TextField& field) {
    addStockButtonToKeypad(Application::sharedApplication());
    m_textFieldBeingEdited = &field;
}

bool SettingsViewController::shouldChangeCharactersInRange(
    TextField& field, TextRange, const std::string& replacement) {
    return characterCount(field.text()) < kMaximumTextLength || replacement.empty();
}

bool SettingsViewController::textFieldShouldReturn(TextField& field) {
    field.resignFirstResponder();
    return false;
}

void SettingsViewController::textFieldDidEndEditing(TextField& field) {
    int value = thresholdValue(field.text());
    SettingsManager& settings = SettingsManager::sharedManager();
    if (field.tag() == kDistanceFieldTag)
        settings.setDistanceBeforeDue(value);
    else
        settings.setDaysBeforeDue(value);
    settings.save();
    // Show what was stored (a cleared entry reads 0, an absurd one the upper limit).
    field.setText(std::to_string(value));
    if (m_textFieldBeingEdited == &field)
        m_textFieldBeingEdited = nullptr;
}
