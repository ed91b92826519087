#include "screens/SettingsViewController.h"

#include <cctype>

#include "QLCoreLibrary/QLRoundedRectView.h"
#include "model/Service.h"
#include "model/SettingsManager.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/SharedFrom.h"
#include "platform/views/Label.h"
#include "platform/views/NavigationController.h"
#include "platform/views/Switch.h"
#include "ui/SelectionViewController.h"
#include "ui/ThemeSelectionViewController.h"

using namespace platform::views;

namespace {

const char* const kUnitLabels[] = {"Distance", "Fuel", "Economy", "Consumption"};

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

// A threshold row: the title in the cell's label and a number entry on the right.
class ThresholdCell : public TableViewCell {
public:
    explicit ThresholdCell(const std::string& identifier)
        : TableViewCell(TableViewCellStyle::Default, identifier) {
        setSelectionStyle(TableViewCellSelectionStyle::None);
        View& content = contentView();
        m_field->setFrame({content.bounds().width() - 100, 9, 60, 23});
        m_field->setAutoresizingMask(AutoresizingFlexibleLeftMargin);
        m_field->setKeyboardType(KeyboardType::NumberPad);
        m_field->setReturnKeyType(ReturnKeyType::Done);
        m_field->setTextAlignment(TextAlignment::Right);
        m_field->setFont(platform::graphics::Font::systemFontOfSize(16));
        content.addSubview(m_field);
    }
    TextField& field() const { return *m_field; }

private:
    std::shared_ptr<TextField> m_field {std::make_shared<TextField>()};
};

} // namespace

SettingsViewController::SettingsViewController()
    : ThemedTableViewController(kLayoutName, TableViewStyle::Grouped) {
    SettingsManager& settings = SettingsManager::sharedManager();
    // Any text up to the usual length, read up to its first non-digit and kept in range.
    entries().addWholeNumber(
        kDistanceFieldTag, [&settings] { return settings.distanceBeforeDue(); },
        [&settings](std::int64_t value) {
            settings.setDistanceBeforeDue(int(value));
            settings.save();
            platform::NotificationCenter::defaultCenter().post(kDueServiceCountDidChangeNotification);
        },
        FormEntries::kMaximumTextLength, kMaximumThreshold, false);
    entries().addWholeNumber(
        kDaysFieldTag, [&settings] { return settings.daysBeforeDue(); },
        [&settings](std::int64_t value) {
            settings.setDaysBeforeDue(int(value));
            settings.save();
            platform::NotificationCenter::defaultCenter().post(kDueServiceCountDidChangeNotification);
        },
        FormEntries::kMaximumTextLength, kMaximumThreshold, false);
}

void SettingsViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    setTitle("Settings");
    m_sections = {"Service Alerts", "Units", "Preferences"};
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
    auto cell = table.dequeueReusableCell<ThresholdCell>("service-alerts-cell");
    cell->textLabel().setText(row == 0 ? "Distance Before Due" : "Days Before Due");
    int tag = row == 0 ? kDistanceFieldTag : kDaysFieldTag;
    cell->field().setTag(tag);
    cell->field().setTextColor(firstColor());
    entries().attach(tag, cell->field());
    return cell;
}

std::shared_ptr<TableViewCell> SettingsViewController::unitsCell(TableView& table, int row) {
    auto cell = table.dequeueReusableCell("units-cell", TableViewCellStyle::Value1);
    cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    cell->textLabel().setText(kUnitLabels[row % 4]);
    cell->detailTextLabel()->setText(unitName(row));
    return cell;
}

std::shared_ptr<TableViewCell> SettingsViewController::preferencesCell(TableView& table, int row) {
    SettingsManager& settings = SettingsManager::sharedManager();
    if (row == 2) {
        auto cell = table.dequeueReusableCell("theme-cell", TableViewCellStyle::Default);
        auto* swatch = dynamic_cast<QLRoundedRectView*>(cell->contentView().viewWithTag(kSwatchTag));
        if (!swatch) {
            auto made = std::make_shared<QLRoundedRectView>(Rect(240, 7, 30, 30));
            made->setTag(kSwatchTag);
            made->setStrokeSize(3);
            cell->contentView().addSubview(made);
            swatch = made.get();
        }
        cell->textLabel().setText("Theme Color");
        swatch->setStrokeColor(firstColor());
        swatch->setBackgroundColor(thirdColor());
        return cell;
    }
    bool reminders = row == 0;
    auto cell = table.dequeueReusableCell(
        reminders ? "notifications-cell" : "odometer-cell", TableViewCellStyle::Default);
    auto* control = dynamic_cast<Switch*>(cell->contentView().viewWithTag(kSwitchTag));
    if (!control) {
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        auto made = std::make_shared<Switch>(Rect(200, 8, 94, 27));
        made->setTag(kSwitchTag);
        made->addTarget(reminders ? action(&SettingsViewController::notificationsSwitchValueChanged)
                                  : action(&SettingsViewController::odometerSwitchValueChanged),
            ControlEventValueChanged);
        cell->contentView().addSubview(made);
        control = made.get();
    }
    cell->textLabel().setText(reminders ? "Service Reminders" : "Auto Update Odometer");
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
        entries().beginEditing(indexPath.row == 0 ? kDistanceFieldTag : kDaysFieldTag);
        break;
    case kUnitsSection: {
        auto list
            = std::make_shared<SelectionViewController>(unitNames(indexPath.row), unitName(indexPath.row));
        list->setTitle(std::string(kUnitLabels[indexPath.row % 4]) + " Unit");
        list->setAllowAddNew(false);
        list->setDelegate(platform::sharedFrom(this));
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
    tableView()->reloadData();
}

void SettingsViewController::notificationsSwitchValueChanged(Control& control) {
    SettingsManager::sharedManager().setServiceReminders(static_cast<Switch&>(control).isOn());
}

void SettingsViewController::odometerSwitchValueChanged(Control& control) {
    SettingsManager::sharedManager().setAutoUpdateOdometer(static_cast<Switch&>(control).isOn());
}
