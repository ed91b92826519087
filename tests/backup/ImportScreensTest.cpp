#include <gtest/gtest.h>

#include "QLCoreLibrary/ValueText.h"
#include "backup/BackupScreensTestSupport.h"
#include "backup/ImportPreviewViewController.h"
#include "backup/ImportVehicleMappingViewController.h"
#include "data/DB.h"
#include "model/SettingsManager.h"
#include "model/Units.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"
#include "transfer/ImportSamples.h"
#include "transfer/ImportSource.h"
#include "transfer/LogbookImport.h"
#include "ui/SelectionViewController.h"

using namespace vantrel::test;
using namespace platform::views;
using Section = SyncViewController::Section;
using Preview = ImportPreviewViewController;
namespace fs = platform::fs;

namespace {

class ImportScreensTest : public BackupScreensTest {
protected:
    // "Import From Another App", answered in the file chooser with this file.
    void chooseFile(SyncViewController& sync, const std::string& bytes, const std::string& name) {
        driver().setNextPickedFile(bytes, name);
        tap(sync, Section::Files, SyncViewController::kImportRow);
    }
    Preview& preview(SyncViewController& sync, const std::string& bytes, const std::string& name) {
        chooseFile(sync, bytes, name);
        return top<Preview>();
    }
    void tapRow(Preview& screen, Preview::Section section, int row = 0) {
        auto indexPath = screen.indexPathFor(section, row);
        ASSERT_TRUE(indexPath) << "the section is not shown";
        driver().tapRow(*screen.tableView(), indexPath->section, indexPath->row);
    }
    static std::string detail(Preview& screen, Preview::Section section, int row = 0) {
        return screen.rowTexts(section, row).second;
    }
    // Chooses `row` of the list a unit row opens.
    void chooseUnit(Preview& screen, Preview::UnitRow unit, int row) {
        const auto rows = screen.unitRows();
        tapRow(
            screen, Preview::Section::Units, int(std::find(rows.begin(), rows.end(), unit) - rows.begin()));
        auto& list = top<SelectionViewController>();
        driver().tapRow(*list.tableView(), 0, row);
    }
    static std::vector<Fillup> fillupsOf(const std::string& name) {
        for (const Vehicle& car : DB::vehiclesWithServiceDueInDays(0, 0)) {
            if (car.name == name)
                return DB::storedFillupsForVehicle(car.vid);
        }
        return {};
    }
};

} // namespace

TEST_F(ImportScreensTest, AFuellyFileGoesIntoTheCarThePersonChoosesOnceAndOnlyOnce) {
    addVehicle("Daily Driver", 30000, "Makerco", "Estate");
    launch();
    auto& sync = openDataBackup();
    EXPECT_EQ(cell(sync, Section::Files, SyncViewController::kImportRow).textLabel().text(),
        "Import From Another App");
    EXPECT_EQ(cell(sync, Section::Files, SyncViewController::kDownloadCsvRow).textLabel().text(),
        "Download CSV Files");

    auto& screen = preview(sync, samples::kFuellyFuelups, "fuelups.csv");
    EXPECT_EQ(driver().navigationTitle(), "Import");
    EXPECT_EQ(detail(screen, Preview::Section::File), "Fuelly");
    EXPECT_EQ(detail(screen, Preview::Section::File, 1), "fuelups.csv");
    EXPECT_EQ(screen.rowTexts(Preview::Section::Vehicles, 0),
        std::pair(std::string("Blue wagon"), std::string("4 fill-ups\nInto a new car")));
    EXPECT_EQ(detail(screen, Preview::Section::Units, 0), "Miles");
    EXPECT_EQ(detail(screen, Preview::Section::Units, 1), "Gallon (US) (assumed)")
        << "US or Imperial is not said";
    EXPECT_EQ(detail(screen, Preview::Section::Units, 2), "Not in file");
    EXPECT_FALSE(screen.indexPathFor(Preview::Section::Problems));
    EXPECT_EQ(detail(screen, Preview::Section::FirstRows),
        "31,080 mi · 12.250 US gal at " + FormatCurrency(3.389) + " = " + FormatCurrency(12.25 * 3.389)
            + " · Full");

    // Into the car already in Vantrel.
    tapRow(screen, Preview::Section::Vehicles);
    auto& mapping = top<ImportVehicleMappingViewController>();
    EXPECT_EQ(driver().navigationTitle(), "Blue wagon");
    EXPECT_EQ(mapping.tableView()->cellForRowAtIndexPath(IndexPath::forRow(0, 0))->accessoryType(),
        TableViewCellAccessoryType::Checkmark);
    driver().tapRow(*mapping.tableView(), 0, 1);
    ASSERT_EQ(&top<Preview>(), &screen);
    EXPECT_EQ(detail(screen, Preview::Section::Vehicles), "4 fill-ups\nInto Daily Driver");

    // Imperial gallons, then US gallons after all.
    chooseUnit(screen, Preview::UnitRow::Fuel, 2);
    EXPECT_EQ(detail(screen, Preview::Section::Units, 1), "Gallon (Imperial)");
    chooseUnit(screen, Preview::UnitRow::Fuel, 1);
    EXPECT_EQ(detail(screen, Preview::Section::Units, 1), "Gallon (US)");

    driver().pressRightBarButton();
    answerAlert("Import Complete", "Imported 4 fill-ups.");
    EXPECT_EQ(&top<RootViewController>(), &root());
    const auto stored = fillupsOf("Daily Driver");
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored.front().units, kFuelUSGallon);
    EXPECT_EQ(stored.back().type, kFillupReset);
    EXPECT_EQ(DB::vehiclesWithServiceDueInDays(0, 0).front().odometer, 31950);
    EXPECT_EQ(root().vehicles().size(), 1u);

    // The same file again finds its rows in the car they went into.
    auto& again = preview(openDataBackup(), samples::kFuellyFuelups, "fuelups.csv");
    EXPECT_EQ(
        detail(again, Preview::Section::Vehicles), "nothing new; 4 already in Vantrel\nInto Daily Driver");
    driver().pressRightBarButton();
    answerAlert("Nothing to Import", "Everything in this file is already in Vantrel.");
    EXPECT_EQ(fillupsOf("Daily Driver").size(), 4u);
    // Nothing of the chosen files is left behind.
    EXPECT_TRUE(fs::contentsOfDirectory(platform::Sandbox::temporaryDirectory()).empty());
}

TEST_F(ImportScreensTest, RowsWithProblemsAreListedAndThePersonChoosesToImportTheRestOrNot) {
    launch();
    auto& sync = openDataBackup();
    const std::string table = "Date,Odometer,Litres,Price per litre,Total,Full\n"
                              "2024-02-01,15230,40.5,1.689,68.40,yes\n"
                              "2024-02-15,15710,eighteen,1.709,30.76,no\n"
                              "2024-02-28,16100,22.0,1.719,37.82,yes\n";
    auto& screen = preview(sync, table, "my-fuel.csv");
    EXPECT_EQ(detail(screen, Preview::Section::File), "CSV file");
    EXPECT_EQ(screen.rowTexts(Preview::Section::Problems, 0),
        std::pair(std::string("Line 3"),
            std::string("The quantity of fuel \"eighteen\" is not a number Vantrel can read.")));
    EXPECT_EQ(detail(screen, Preview::Section::Vehicles), "2 fill-ups\nInto a new car");

    driver().pressRightBarButton();
    answerAlert("Import the Rest?",
        "1 row could not be read and is listed under Problems. Import the other rows, or cancel?", 0);
    EXPECT_EQ(&top<Preview>(), &screen);
    EXPECT_TRUE(DB::vehiclesWithServiceDueInDays(0, 0).empty());

    driver().pressRightBarButton();
    answerAlert("Import the Rest?",
        "1 row could not be read and is listed under Problems. Import the other rows, or cancel?", 1);
    answerAlert("Import Complete", "Imported 2 fill-ups into a new car.");
    ASSERT_EQ(root().vehicles().size(), 1u);
    EXPECT_EQ(root().vehicles().front().name, "Imported car");
    EXPECT_EQ(fillupsOf("Imported car").size(), 2u);
    // The first car brought its litres; kilometres or miles were not said, so miles stay.
    EXPECT_EQ(SettingsManager::sharedManager().fuelUnit(), kFuelLiter);
    EXPECT_EQ(SettingsManager::sharedManager().distanceUnit(), kDistanceMiles);
}

TEST_F(ImportScreensTest, AFileVantrelDoesNotKnowIsRefusedWithTheFormatsItKnows) {
    addVehicle("Daily Driver");
    launch();
    auto& sync = openDataBackup();
    chooseFile(sync, "name,age\nAnn,32\n", "people.csv");
    answerAlert("Vantrel", LogbookImport::kUnknownMessage);
    chooseFile(sync, std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "holiday.png");
    answerAlert("Vantrel", LogbookImport::kUnknownMessage);
    chooseFile(sync,
        "car_name, model, odometer, price, service_date, date_added, tags, service_type, "
        "sub_service_types, notes\n",
        "services.csv");
    answerAlert("Vantrel",
        "This Fuelly file holds no fill-ups, services or repairs Vantrel could import. Nothing "
        "was changed.");
    EXPECT_EQ(&top<SyncViewController>(), &sync);
    EXPECT_TRUE(fs::contentsOfDirectory(platform::Sandbox::temporaryDirectory()).empty());
}

TEST_F(ImportScreensTest, DownloadCsvFilesHandsOverTheLogbookAsVantrelsOwnFiles) {
    addVehicle("Daily Driver", 48210, "Makerco", "Estate");
    launch();
    auto& sync = openDataBackup();
    tap(sync, Section::Files, SyncViewController::kDownloadCsvRow);
    EXPECT_FALSE(driver().alert());
    ASSERT_EQ(driver().savedFiles().size(), 1u);
    const auto file = driver().savedFiles().front();
    EXPECT_EQ(file.name, "vantrel-csv-2011-03-01.zip");
    EXPECT_EQ(file.contentType, "application/zip");

    const std::string path = fs::joinPath(platform::Sandbox::temporaryDirectory(), "check.zip");
    ASSERT_TRUE(fs::writeFileAtomically(path, file.bytes));
    std::string problem;
    auto source = ImportSource::open(path, file.name, problem);
    fs::removeItem(path);
    ASSERT_TRUE(source) << problem;
    EXPECT_EQ(source->files().size(), 4u);
    const ImportData data = LogbookImport::read(*source, {});
    EXPECT_EQ(data.format, ImportFormat::Vantrel);
    ASSERT_EQ(data.vehicles.size(), 1u);
    EXPECT_EQ(data.vehicles.front().name, "Daily Driver");
    EXPECT_EQ(data.vehicles.front().services.size(), 5u) << "the starter services, not recorded yet";
}

// The preview, the car's choices and a unit's list as a person sees them, in a theme without
// and one with the header colour. With $VANTREL_RENDER_DIR set each is kept as
// "<screen>-theme-<n>.png".
class ImportScreensRenderTest : public ImportScreensTest, public testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        ImportScreensTest::SetUp();
        SettingsManager::sharedManager().setThemeIndex(GetParam());
    }
    void shot(const std::string& name) { keepScreen(name + "-theme-" + std::to_string(GetParam())); }
};

TEST_P(ImportScreensRenderTest, ThePreviewTheCarsChoicesAndAUnitsList) {
    addVehicle("Daily Driver", 48210, "Makerco", "Estate", 2016);
    addVehicle("Weekend Roadster", 12000, "Sporta", "Spyder", 1998);
    launch();
    auto& sync = openDataBackup();
    shot("import-data-backup");
    // A Drivvo file with a word for "full" that Vantrel does not know.
    std::string drivvo = samples::kDrivvo;
    drivvo.insert(drivvo.find("\n\n##Expense"),
        "\n\"13300.0\",\"2023-10-10 "
        "10:10:10\",\"Diesel\",\"1.699\",\"67.96\",\"40.0\",\"Peut-être\",\"\",\"0\",\"0\","
        "\"0\",\"No\",\"\",\"0\",\"0\",\"0\",\"No\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"Card\","
        "\"\",\"0\"");
    auto& screen = preview(sync, drivvo, "drivvo-export.csv");
    ASSERT_TRUE(screen.indexPathFor(Preview::Section::Problems));
    EXPECT_EQ(detail(screen, Preview::Section::Problems),
        "The full tank value \"Peut-être\" is neither a yes nor a no Vantrel knows.");
    shot("import-preview");
    driver().scrollToRow(*screen.tableView(), screen.indexPathFor(Preview::Section::FirstRows)->section, 0);
    shot("import-preview-scrolled");
    tapRow(screen, Preview::Section::Vehicles);
    shot("import-mapping");
    driver().pressBack();
    tapRow(screen, Preview::Section::Units, 0);
    shot("import-distance");
    driver().pressBack();
}

INSTANTIATE_TEST_SUITE_P(Themes, ImportScreensRenderTest, testing::Values(0, 2));
