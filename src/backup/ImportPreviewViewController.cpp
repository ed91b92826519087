#include "backup/ImportPreviewViewController.h"

#include <algorithm>
#include <cmath>

#include "QLCoreLibrary/ValueText.h"
#include "backup/BackupServiceClient.h"
#include "backup/ImportPreviewCell.h"
#include "backup/ImportVehicleMappingViewController.h"
#include "model/SettingsManager.h"
#include "platform/base/SharedFrom.h"
#include "platform/views/NavigationController.h"
#include "transfer/ImportValues.h"
#include "transfer/LogbookImport.h"
#include "transfer/VantrelCsvLayout.h"
#include "ui/SelectionViewController.h"

using namespace platform::views;

namespace {

constexpr const char* kPreviewCell = "import-preview-cell";
constexpr const char* kValueCell = "import-value-cell";
constexpr const char* kAssumed = " (assumed)";
constexpr double kFooterMargin = 8;
const std::vector<std::string> kDateOrders {"Day/Month/Year", "Month/Day/Year"};
const std::vector<std::string> kDecimalMarks {"Point: 1,234.5", "Comma: 1.234,5"};

std::string plural(int count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// "a, b and c".
std::string listed(const std::vector<std::string>& items) {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    return text;
}

std::string countsText(int fillups, int repairs, int services) {
    std::vector<std::string> parts;
    if (fillups)
        parts.push_back(plural(fillups, "fill-up"));
    if (repairs)
        parts.push_back(plural(repairs, "repair"));
    if (services)
        parts.push_back(plural(services, "service"));
    return parts.empty() ? "nothing new" : listed(parts);
}

std::string distanceText(int reading, int unit) {
    return FormatFloat(reading, 0) + " " + VantrelCsvLayout::distanceSymbol(unit);
}

std::string dayText(const std::optional<platform::Date>& date) {
    return date ? FormatDate(*date, DateStyle::Medium) : "Not recorded";
}

const char* typeText(int type) {
    return type == kFillupPartial ? "Partial" : type == kFillupReset ? "Reset" : "Full";
}

// A footer as tall as its text.
std::shared_ptr<View> footerWithText(const std::string& text) {
    auto footer = ThemeStyling::tableFooterViewWithText(text);
    if (!footer->subviews().empty()) {
        View& label = *footer->subviews().front();
        const double height = std::ceil(label.sizeThatFits({label.frame().width(), 0}).height);
        label.setFrame({label.frame().x(), 0, label.frame().width(), height});
        footer->setFrame({footer->frame().x(), footer->frame().y(), footer->frame().width(), height});
    }
    return footer;
}

} // namespace

ImportPreviewViewController::ImportPreviewViewController(ImportSource source, ImportData data)
    : ThemedTableViewController(kLayoutName, TableViewStyle::Grouped)
    , m_source(std::move(source))
    , m_data(std::move(data)) {
    m_targets = ImportPlan::defaultTargets(m_data);
    replan();
}

void ImportPreviewViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    setTitle("Import");
    navigationItem().setRightBarButtonItem(std::make_shared<BarButtonItem>(
        "Import", BarButtonItemStyle::Done, action(&ImportPreviewViewController::importButtonPressed)));
}

void ImportPreviewViewController::reread() {
    m_plan.reset(); // it points into the data it was made from
    m_firstRows.clear();
    m_data = LogbookImport::read(m_source, m_options);
    if (m_targets.size() != m_data.vehicles.size())
        m_targets = ImportPlan::defaultTargets(m_data);
    replan();
}

void ImportPreviewViewController::replan() {
    m_plan = std::make_unique<ImportPlan>(m_data, m_options, m_targets);
    m_targets = m_plan->targets();
    m_firstRows = makeFirstRows();
    if (isViewLoaded())
        tableView()->reloadData();
}

void ImportPreviewViewController::setTarget(size_t vehicle, ImportPlan::Target target) {
    if (vehicle >= m_targets.size())
        return;
    m_targets[vehicle] = target;
    replan();
}

// --- Sections

std::vector<ImportPreviewViewController::Section> ImportPreviewViewController::shownSections() const {
    std::vector<Section> shown {Section::File};
    if (!m_data.notices.empty())
        shown.push_back(Section::Notices);
    shown.push_back(Section::Vehicles);
    shown.push_back(Section::Units);
    if (!m_data.problems.empty())
        shown.push_back(Section::Problems);
    if (!m_firstRows.empty())
        shown.push_back(Section::FirstRows);
    return shown;
}

std::optional<IndexPath> ImportPreviewViewController::indexPathFor(Section section, int row) const {
    const auto shown = shownSections();
    const auto found = std::find(shown.begin(), shown.end(), section);
    if (found == shown.end())
        return std::nullopt;
    return IndexPath::forRow(row, int(found - shown.begin()));
}

std::vector<ImportPreviewViewController::UnitRow> ImportPreviewViewController::unitRows() const {
    std::vector<UnitRow> rows {UnitRow::Distance, UnitRow::Fuel, UnitRow::Currency};
    if (m_data.dateOrderUnclear)
        rows.push_back(UnitRow::DateOrder);
    if (m_data.decimalMarkUnclear)
        rows.push_back(UnitRow::DecimalMark);
    return rows;
}

int ImportPreviewViewController::numberOfSectionsInTableView(TableView&) {
    return int(shownSections().size());
}

int ImportPreviewViewController::numberOfRowsInSection(TableView&, int section) {
    const auto shown = shownSections();
    if (section < 0 || size_t(section) >= shown.size())
        return 0;
    switch (shown[size_t(section)]) {
    case Section::File:
        return 2;
    case Section::Notices:
        return int(m_data.notices.size());
    case Section::Vehicles:
        return int(m_data.vehicles.size());
    case Section::Units:
        return int(unitRows().size());
    case Section::Problems:
        return int(
            std::min(m_data.problems.size(), kMaxProblemRows) + (m_data.problems.size() > kMaxProblemRows));
    case Section::FirstRows:
        return int(m_firstRows.size());
    }
    return 0;
}

std::shared_ptr<View> ImportPreviewViewController::viewForHeaderInSection(TableView&, int section) {
    const auto shown = shownSections();
    if (section < 0 || size_t(section) >= shown.size())
        return nullptr;
    static const char* const titles[]
        = {"File", "Please Note", "Vehicles", "Units", "Problems", "First Rows"};
    return tableHeaderViewWithText(titles[int(shown[size_t(section)])]);
}

std::string ImportPreviewViewController::unitsFooter() const {
    SettingsManager& settings = SettingsManager::sharedManager();
    std::vector<std::string> lines;
    const auto rows = unitRows();
    const bool assumed = (!m_data.distanceUnit && !m_options.distanceUnit)
        || ((!m_data.fuelUnit || m_data.gallonsUnclear) && !m_options.fuelUnit
            && m_data.format != ImportFormat::Vantrel)
        || std::find(rows.begin(), rows.end(), UnitRow::DateOrder) != rows.end()
        || std::find(rows.begin(), rows.end(), UnitRow::DecimalMark) != rows.end();
    if (assumed)
        lines.push_back("The file leaves some of this open: check what is marked as assumed.");
    const std::string distance
        = ImportValues::lowerCase(SettingsManager::distanceUnits()[size_t(m_plan->fileDistanceUnit())]);
    if (m_plan->adoptsUnits()) {
        std::string fuel = SettingsManager::fuelUnits()[size_t(m_plan->fileFuelUnit())];
        lines.push_back(
            "Vantrel has no cars yet, so it will use " + distance + " and " + fuel + ", as the file does.");
    } else if (m_plan->fileDistanceUnit() != m_plan->storedDistanceUnit()) {
        lines.push_back("Readings will be converted to "
            + ImportValues::lowerCase(SettingsManager::distanceUnits()[size_t(settings.distanceUnit())])
            + ", the unit of your settings.");
    }
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : " ") + line;
    return text;
}

double ImportPreviewViewController::heightForFooterInSection(TableView& table, int section) {
    auto footer = viewForFooterInSection(table, section);
    return footer ? footer->frame().height() + kFooterMargin
                  : TableViewDelegate::heightForFooterInSection(table, section);
}

std::shared_ptr<View> ImportPreviewViewController::viewForFooterInSection(TableView&, int section) {
    const auto shown = shownSections();
    if (section < 0 || size_t(section) >= shown.size())
        return nullptr;
    std::string text;
    if (shown[size_t(section)] == Section::Units)
        text = unitsFooter();
    else if (shown[size_t(section)] == Section::Problems)
        text = "Rows with problems are not imported.";
    else if (shown[size_t(section)] == Section::Vehicles)
        text = "Rows a car already has (same date, odometer and quantity) are left out.";
    return text.empty() ? nullptr : footerWithText(text);
}

// --- Rows

std::string ImportPreviewViewController::vehicleDetail(size_t vehicle) const {
    const ImportPlan::PlannedVehicle& planned = m_plan->vehicles()[vehicle];
    std::string detail;
    if (planned.target.kind == ImportPlan::Target::Skip) {
        const ImportedVehicle& source = *planned.source;
        detail
            = countsText(int(source.fillups.size()), int(source.repairs.size()), int(source.services.size()))
            + "\nNot imported";
    } else {
        detail = countsText(
            int(planned.fillups.size()), int(planned.repairs.size()), int(planned.services.size()));
        if (planned.duplicates > 0)
            detail += "; " + std::to_string(planned.duplicates) + " already in Vantrel";
        detail += planned.target.kind == ImportPlan::Target::NewVehicle ? "\nInto a new car"
                                                                        : "\nInto " + planned.vehicle.name;
    }
    return detail;
}

std::vector<std::pair<std::string, std::string>> ImportPreviewViewController::makeFirstRows() const {
    // Fill-ups first, as they matter most; oldest first within a kind. Only the rows shown are
    // put into words: a file may hold thousands.
    struct Row {
        int kind;
        std::optional<platform::Date> date;
        const std::string* car;
        const void* record;
    };
    std::vector<Row> rows;
    for (const ImportPlan::PlannedVehicle& planned : m_plan->vehicles()) {
        const std::string* car = &planned.source->name;
        for (const Fillup& fillup : planned.fillups)
            rows.push_back({0, fillup.date, car, &fillup});
        for (const Repair& repair : planned.repairs)
            rows.push_back({1, repair.datePerformed, car, &repair});
        for (const ImportPlan::PlannedService& service : planned.services)
            rows.push_back({2, service.record.datePerformed, car, &service.record});
    }
    const auto shown = rows.begin() + std::ptrdiff_t(std::min(rows.size(), kFirstRows));
    std::partial_sort(rows.begin(), shown, rows.end(),
        [](const Row& a, const Row& b) { return std::tie(a.kind, a.date) < std::tie(b.kind, b.date); });
    const int unit = m_plan->storedDistanceUnit();
    std::vector<std::pair<std::string, std::string>> texts;
    for (auto row = rows.begin(); row != shown; ++row) {
        if (row->kind == 0) {
            const Fillup& fillup = *static_cast<const Fillup*>(row->record);
            texts.push_back({dayText(fillup.date) + " · " + *row->car,
                distanceText(fillup.odometer, unit) + " · " + FormatFloat(fillup.quantity, 3) + " "
                    + VantrelCsvLayout::fuelSymbol(fillup.units) + " at " + FormatCurrency(fillup.costPerUnit)
                    + " = " + FormatCurrency(fillup.totalCost()) + " · " + typeText(fillup.type)});
        } else if (row->kind == 1) {
            const Repair& repair = *static_cast<const Repair*>(row->record);
            texts.push_back({dayText(repair.datePerformed) + " · " + repair.name,
                "Repair · " + distanceText(repair.odometer, unit) + " · " + FormatCurrency(repair.cost)});
        } else {
            const Service& record = *static_cast<const Service*>(row->record);
            texts.push_back({dayText(record.datePerformed) + " · " + record.name,
                "Service · " + distanceText(record.odometer, unit) + " · " + FormatCurrency(record.cost)});
        }
    }
    return texts;
}

std::pair<std::string, std::string> ImportPreviewViewController::rowTexts(Section section, int row) const {
    const size_t index = size_t(std::max(row, 0));
    switch (section) {
    case Section::File:
        return row == 0 ? std::pair {std::string("Format"), LogbookImport::formatName(m_data.format)}
                        : std::pair {std::string("File"), m_source.name()};
    case Section::Notices:
        return {"", index < m_data.notices.size() ? m_data.notices[index] : ""};
    case Section::Vehicles:
        if (index >= m_data.vehicles.size())
            return {};
        return {m_data.vehicles[index].name, vehicleDetail(index)};
    case Section::Units: {
        const auto rows = unitRows();
        if (index >= rows.size())
            return {};
        switch (rows[index]) {
        case UnitRow::Distance:
            return {"Distance",
                SettingsManager::distanceUnits()[size_t(m_plan->fileDistanceUnit())]
                    + (m_data.distanceUnit || m_options.distanceUnit ? "" : kAssumed)};
        case UnitRow::Fuel: {
            const bool stated = m_options.fuelUnit || (m_data.fuelUnit && !m_data.gallonsUnclear)
                || m_data.format == ImportFormat::Vantrel;
            return {"Fuel",
                SettingsManager::fuelUnits()[size_t(m_plan->fileFuelUnit())] + (stated ? "" : kAssumed)};
        }
        case UnitRow::Currency:
            return {"Currency", m_data.currency.empty() ? "Not in file" : m_data.currency};
        case UnitRow::DateOrder:
            return {"Dates",
                kDateOrders[m_data.dateOrder == DateOrder::DayFirst ? 0 : 1]
                    + (m_options.dateOrder == DateOrder::Automatic ? kAssumed : "")};
        case UnitRow::DecimalMark:
            return {"Decimals",
                kDecimalMarks[m_data.decimalMark == DecimalMark::Comma ? 1 : 0]
                    + (m_options.decimalMark == DecimalMark::Automatic ? kAssumed : "")};
        }
        return {};
    }
    case Section::Problems: {
        if (index >= kMaxProblemRows)
            return {"", "And " + plural(int(m_data.problems.size() - kMaxProblemRows), "more problem") + "."};
        if (index >= m_data.problems.size())
            return {};
        const ImportProblem& problem = m_data.problems[index];
        std::string where = problem.line > 0 ? "Line " + std::to_string(problem.line) : "";
        if (!problem.file.empty())
            where = problem.file
                + (where.empty() ? "" : ", " + ImportValues::lowerCase(where.substr(0, 1)) + where.substr(1));
        return {where, problem.message};
    }
    case Section::FirstRows:
        return index < m_firstRows.size() ? m_firstRows[index] : std::pair<std::string, std::string> {};
    }
    return {};
}

double ImportPreviewViewController::heightForRowAtIndexPath(TableView& table, IndexPath indexPath) {
    const auto shown = shownSections();
    if (size_t(indexPath.section) >= shown.size())
        return 44;
    const Section section = shown[size_t(indexPath.section)];
    if (section == Section::File || section == Section::Units)
        return 44;
    const auto [title, detail] = rowTexts(section, indexPath.row);
    return ImportPreviewCell::heightFor(title, detail, table.bounds().width(), section == Section::Vehicles);
}

std::shared_ptr<TableViewCell> ImportPreviewViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    const auto shown = shownSections();
    const Section section
        = size_t(indexPath.section) < shown.size() ? shown[size_t(indexPath.section)] : Section::File;
    const auto [title, detail] = rowTexts(section, indexPath.row);
    if (section == Section::File || section == Section::Units) {
        auto cell = table.dequeueReusableCell(kValueCell, TableViewCellStyle::Value1);
        cell->textLabel().setText(title);
        cell->detailTextLabel()->setText(detail);
        const bool choice
            = section == Section::Units && unitRows()[size_t(indexPath.row)] != UnitRow::Currency;
        cell->setAccessoryType(
            choice ? TableViewCellAccessoryType::DisclosureIndicator : TableViewCellAccessoryType::None);
        cell->setSelectionStyle(
            choice ? TableViewCellSelectionStyle::Blue : TableViewCellSelectionStyle::None);
        cell->setBackgroundColor(Color::white(1, 0.5));
        setSmallFont(cell->textLabel());
        setMediumFont(*cell->detailTextLabel());
        return cell;
    }
    auto cell = table.dequeueReusableCell<ImportPreviewCell>(kPreviewCell);
    cell->show(title, detail);
    const bool vehicle = section == Section::Vehicles;
    cell->setAccessoryType(
        vehicle ? TableViewCellAccessoryType::DisclosureIndicator : TableViewCellAccessoryType::None);
    cell->setSelectionStyle(vehicle ? TableViewCellSelectionStyle::Blue : TableViewCellSelectionStyle::None);
    cell->setBackgroundColor(Color::white(1, 0.5));
    return cell;
}

void ImportPreviewViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    const auto shown = shownSections();
    NavigationController* navigation = navigationController();
    if (size_t(indexPath.section) >= shown.size() || !navigation)
        return;
    const size_t row = size_t(indexPath.row);
    if (shown[size_t(indexPath.section)] == Section::Vehicles && row < m_data.vehicles.size()) {
        navigation->pushViewController(
            std::make_shared<ImportVehicleMappingViewController>(
                row, m_data.vehicles[row].name, m_targets[row], platform::sharedFrom(this)),
            true);
        return;
    }
    if (shown[size_t(indexPath.section)] != Section::Units || row >= unitRows().size())
        return;
    const UnitRow unit = unitRows()[row];
    std::vector<std::string> values;
    if (unit == UnitRow::Distance)
        values = SettingsManager::distanceUnits();
    else if (unit == UnitRow::Fuel)
        values = SettingsManager::fuelUnits();
    else if (unit == UnitRow::DateOrder)
        values = kDateOrders;
    else if (unit == UnitRow::DecimalMark)
        values = kDecimalMarks;
    else
        return;
    std::string current = rowTexts(Section::Units, indexPath.row).second;
    if (current.ends_with(kAssumed))
        current.resize(current.size() - std::char_traits<char>::length(kAssumed));
    auto list = std::make_shared<SelectionViewController>(values, current);
    list->setAllowAddNew(false);
    list->setDelegate(platform::sharedFrom(this));
    list->setTitle(rowTexts(Section::Units, indexPath.row).first);
    m_choosing = unit;
    navigation->pushViewController(list, true);
}

void ImportPreviewViewController::didSelectValue(ViewController&, const EditorValue&, int index) {
    if (!m_choosing || index < 0)
        return;
    switch (*m_choosing) {
    case UnitRow::Distance:
        m_options.distanceUnit = std::min(index, 1);
        break;
    case UnitRow::Fuel:
        m_options.fuelUnit = std::min(index, 2);
        break;
    case UnitRow::DateOrder:
        m_options.dateOrder = index == 0 ? DateOrder::DayFirst : DateOrder::MonthFirst;
        break;
    case UnitRow::DecimalMark:
        m_options.decimalMark = index == 0 ? DecimalMark::Point : DecimalMark::Comma;
        break;
    case UnitRow::Currency:
        break;
    }
    m_choosing.reset();
    reread();
}

// --- Importing

void ImportPreviewViewController::importButtonPressed() {
    const ImportPlan::Counts counts = m_plan->counts();
    if (counts.total() == 0) {
        const bool none = std::all_of(m_targets.begin(), m_targets.end(),
            [](const ImportPlan::Target& target) { return target.kind == ImportPlan::Target::Skip; });
        showAlert("Nothing to Import",
            none                    ? "Choose a car for at least one of the file's vehicles."
                : counts.duplicates ? "Everything in this file is already in Vantrel."
                                    : "The file holds nothing Vantrel can import.");
        return;
    }
    if (!m_data.problems.empty()) {
        auto alert = std::make_shared<AlertView>("Import the Rest?",
            plural(int(m_data.problems.size()), "row") + " could not be read and "
                + (m_data.problems.size() == 1 ? "is" : "are")
                + " listed under Problems. Import the other rows, or cancel?",
            platform::sharedFrom(this), "Cancel", std::vector<std::string> {"Import"});
        alert->show();
        return;
    }
    runImport();
}

void ImportPreviewViewController::didDismissWithButtonIndex(AlertView&, int buttonIndex) {
    if (buttonIndex == 1)
        runImport();
}

void ImportPreviewViewController::runImport() {
    if (BackupServiceClient::sharedClient().isArchiveOperationRunning()) {
        showAlert(BackupServiceClient::AlertTitle,
            "A backup or restore is still running. Please try again when it has finished.");
        return;
    }
    const auto stored = m_plan->commit();
    if (!stored) {
        showAlert("Error", "The import could not be saved, so nothing was changed. Please try again.");
        return;
    }
    std::string summary = "Imported " + countsText(stored->fillups, stored->repairs, stored->services);
    if (stored->newVehicles > 0)
        summary += stored->newVehicles == 1 ? " into a new car"
                                            : " into " + std::to_string(stored->newVehicles) + " new cars";
    summary += ".";
    if (stored->duplicates > 0)
        summary += " " + plural(stored->duplicates, "row") + " already in Vantrel "
            + (stored->duplicates == 1 ? "was" : "were") + " left out.";
    if (NavigationController* navigation = navigationController())
        navigation->popToRootViewControllerAnimated(true);
    showAlert("Import Complete", summary);
}
