#include "app/StartupViewController.h"

#include "platform/views/LayoutRegistry.h"
#include "platform/views/NavigationController.h"
#include "screens/EditVehicleViewController.h"
#include "screens/SettingsViewController.h"
#include "screens/WebBrowserViewController.h"
#include "ui/ThemeSelectionViewController.h"
#include "ui/ThemedView.h"
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

void buildLayout(ViewController& controller) {
    auto& screen = static_cast<StartupViewController&>(controller);
    auto background = std::make_shared<ThemedView>(Rect(0, 0, 320, 416));
    background->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    auto table = std::make_shared<TableView>(background->bounds(), TableViewStyle::Plain);
    table->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    background->addSubview(table);
    screen.setView(background);
    screen.setStartupTable(table);
}

} // namespace

StartupViewController::StartupViewController() {
    // Registered on first use: a static initialiser in a static library may never be linked.
    if (!LayoutRegistry::hasLayout(kLayoutName))
        LayoutRegistry::registerLayout(kLayoutName, buildLayout);
    setLayout(LayoutRegistry::layoutNamed(kLayoutName));
}

StartupViewController::~StartupViewController() {
    if (m_startupTable) {
        m_startupTable->setDataSource(nullptr);
        m_startupTable->setDelegate(nullptr);
    }
}

void StartupViewController::setStartupTable(std::shared_ptr<TableView> table) {
    m_startupTable = std::move(table);
}

void StartupViewController::viewDidLoad() {
    ThemedViewController::viewDidLoad();
    if (m_startupTable) {
        m_startupTable->setDataSource(this);
        m_startupTable->setDelegate(this);
    }
}

std::shared_ptr<TableViewCell> StartupViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    std::shared_ptr<TableViewCell> cell = table.dequeueReusableCellWithIdentifier(kCellIdentifier);
    if (!cell) {
        cell = std::make_shared<TableViewCell>(TableViewCellStyle::Subtitle, kCellIdentifier);
        cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        cell->detailTextLabel()->setNumberOfLines(3);
    }
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
