#include "app/StartupViewController.h"

#include "platform/views/NavigationController.h"
#include "screens/EditVehicleViewController.h"
#include "screens/SettingsViewController.h"
#include "screens/WebBrowserViewController.h"
#include "ui/ThemeSelectionViewController.h"
#include "ui/VTPlainCellBackgroundView.h"

using namespace platform::views;

namespace {

struct StartupRow {
    const char* title;
    const char* detail;
};

constexpr StartupRow kRows[] = {
    {"Add A Car", "You do not have any cars set up.\r\nAdd a car to begin using Vantrel."},
    {"Adjust Settings", "Quickly adjust things like measurement units and service alerts etc."},
    {"Change Theme", "Select a theme color to match your style."},
    {"Read User Manual", "Read online user manual to quickly learn how to use Vantrel."},
};

} // namespace

StartupViewController::StartupViewController()
    : ThemedTableViewController(kLayoutName, TableViewStyle::Plain) { }

std::shared_ptr<TableViewCell> StartupViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    auto cell = table.dequeueReusableCell(kCellIdentifier, TableViewCellStyle::Subtitle);
    cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    cell->detailTextLabel()->setNumberOfLines(3);
    const StartupRow& row = kRows[indexPath.row % 4];
    cell->textLabel().setText(row.title);
    cell->detailTextLabel()->setText(row.detail);
    cell->setBackgroundView(plainCellBackgroundView());
    cell->setSelectedBackgroundView(plainCellSelectedBackgroundView());
    setLargeFont(cell->textLabel());
    setSmallFont(*cell->detailTextLabel());
    return cell;
}

void StartupViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    NavigationController* navigation = navigationController();
    if (!navigation)
        return;
    switch (indexPath.row) {
    case 0:
        navigation->pushViewController(std::make_shared<EditVehicleViewController>(std::nullopt), true);
        break;
    case 1:
        navigation->pushViewController(std::make_shared<SettingsViewController>(), true);
        break;
    case 2:
        navigation->pushViewController(std::make_shared<ThemeSelectionViewController>(), true);
        break;
    case 3:
        navigation->presentModalViewController(std::make_shared<WebBrowserViewController>(helpURL()), true);
        break;
    default:
        break;
    }
}
