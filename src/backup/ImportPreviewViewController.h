#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/views/AlertView.h"
#include "transfer/ImportData.h"
#include "transfer/ImportPlan.h"
#include "transfer/ImportSource.h"
#include "ui/GenericEditViewControllerDelegate.h"
#include "ui/ThemedTableViewController.h"

// "Import": what a file from another logbook holds before anything is stored. The format, what
// the person should know, each car of the file with its counts and the car it goes into
// (tapped: ImportVehicleMappingViewController), the units (those the file leaves open marked
// "assumed", each one tapped for a list to choose from, with the date order and decimal mark
// where the file's dates and numbers leave them open), the rows that cannot be read with
// their lines, and the first records as they will be stored. Import stores everything in one
// go, after asking whether to leave out the rows with problems, and returns to the list of
// cars.
class ImportPreviewViewController : public ThemedTableViewController,
                                    public platform::views::AlertViewDelegate,
                                    public GenericEditViewControllerDelegate {
public:
    static constexpr const char* kLayoutName = "ImportPreviewViewController";
    enum class Section { File, Notices, Vehicles, Units, Problems, FirstRows };
    enum class UnitRow { Distance, Fuel, Currency, DateOrder, DecimalMark };
    static constexpr size_t kMaxProblemRows = 50;
    static constexpr size_t kFirstRows = 5;

    ImportPreviewViewController(ImportSource source, ImportData data);

    const ImportData& data() const { return m_data; }
    const ImportPlan& plan() const { return *m_plan; }
    const ImportOptions& options() const { return m_options; }

    std::vector<Section> shownSections() const;
    std::optional<platform::views::IndexPath> indexPathFor(Section section, int row = 0) const;
    std::vector<UnitRow> unitRows() const;

    // The car of the file at `vehicle` goes into `target` (the mapping screen's answer).
    void setTarget(size_t vehicle, ImportPlan::Target target);
    void importButtonPressed();

    void viewDidLoad() override;

    int numberOfSectionsInTableView(platform::views::TableView&) override;
    int numberOfRowsInSection(platform::views::TableView&, int section) override;
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    double heightForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    double heightForHeaderInSection(platform::views::TableView&, int) override { return 36; }
    std::shared_ptr<platform::views::View> viewForHeaderInSection(
        platform::views::TableView&, int section) override;
    double heightForFooterInSection(platform::views::TableView& table, int section) override;
    std::shared_ptr<platform::views::View> viewForFooterInSection(
        platform::views::TableView&, int section) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

    // "Import the Rest?" answered.
    void didDismissWithButtonIndex(platform::views::AlertView& alert, int buttonIndex) override;
    // A unit, date order or decimal mark chosen from its list.
    void didSelectValue(
        platform::views::ViewController& editor, const EditorValue& value, int index) override;

    // The texts of a row (title, detail), as the cell shows them.
    std::pair<std::string, std::string> rowTexts(Section section, int row) const;

private:
    void reread();
    void replan();
    void runImport();
    std::string unitsFooter() const;
    std::string vehicleDetail(size_t vehicle) const;
    // The records shown under "First Rows" (fill-ups first), as title and detail.
    std::vector<std::pair<std::string, std::string>> makeFirstRows() const;

    ImportSource m_source;
    ImportOptions m_options;
    ImportData m_data;
    std::vector<ImportPlan::Target> m_targets;
    std::unique_ptr<ImportPlan> m_plan;
    std::vector<std::pair<std::string, std::string>> m_firstRows;
    // The unit row whose list is open.
    std::optional<UnitRow> m_choosing;
};
