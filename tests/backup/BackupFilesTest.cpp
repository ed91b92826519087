#include <gtest/gtest.h>

#include <sstream>

#include <minizip/zip.h>

#include "QLCoreLibrary/FileManagerExtensions.h"
#include "backup/BackupScreensTestSupport.h"
#include "backup/BackupServiceClient.h"
#include "data/DB.h"
#include "model/Fillup.h"
#include "model/Repair.h"
#include "model/SettingsManager.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"
#include "platform/graphics/ImageContext.h"
#include "platform/views/Application.h"

using namespace vantrel::test;
using namespace platform::views;
using Section = SyncViewController::Section;
namespace fs = platform::fs;

namespace {

// A zip archive's bytes with entries of exactly these names, as a file from elsewhere may be.
std::string zipBytes(const std::vector<std::pair<std::string, std::string>>& entries) {
    const std::string folder = fs::makeTemporaryDirectory("vantrel-zip");
    const std::string path = fs::joinPath(folder, "file.zip");
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    for (const auto& [name, content] : entries) {
        zip_fileinfo info {};
        zipOpenNewFileInZip(
            zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION);
        zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
    std::string bytes = fs::readFile(path).value_or("");
    fs::removeItem(folder);
    return bytes;
}

std::string databaseDigest() {
    return md5ForFileAtPath(fs::joinPath(documentsDirectory(), "vantrel.db"));
}

// Everything a person keeps of their cars, as text to compare.
std::string logbook() {
    std::ostringstream text;
    for (const Vehicle& vehicle : DB::vehiclesWithServiceDueInDays(14, 500)) {
        text << vehicle.name << " " << vehicle.odometer << " " << vehicle.make << " " << vehicle.model
             << "\n";
        for (const Service& service : DB::serviceSummaryForVehicle(vehicle.vid))
            text << "  service " << service.name << " " << service.odometer << " "
                 << (service.datePerformed ? service.datePerformed->timeIntervalSince1970() : -1) << "\n";
        for (const Repair& repair : DB::allRepairsForVehicle(vehicle))
            text << "  repair " << repair.name << " " << repair.cost << " " << repair.odometer << "\n";
        for (const Fillup& fillup : DB::fillupsForVehicle(vehicle, 0, 0, 6))
            text << "  fill-up " << fillup.odometer << " " << fillup.quantity << " " << fillup.costPerUnit
                 << "\n";
        text << "  picture " << md5ForFileAtPath(vehicle.pictureFile()) << "\n";
    }
    return text.str();
}

class BackupFilesTest : public BackupScreensTest {
protected:
    // Ends the application and opens it on an empty data folder, as on another computer.
    void launchOnAnotherComputer() {
        Application& application = Application::sharedApplication();
        application.terminate();
        application.reset();
        driver().runUntilIdle();
        m_otherRoot = fs::makeTemporaryDirectory("vantrel-other");
        platform::Sandbox::setRoot(m_otherRoot);
        ThemedViewController::forgetTheme();
        launch();
    }
    void TearDown() override {
        BackupScreensTest::TearDown();
        if (!m_otherRoot.empty())
            fs::removeItem(m_otherRoot);
    }
    void restoreFile(SyncViewController& sync, const std::string& bytes, const std::string& name) {
        driver().setNextPickedFile(bytes, name);
        tap(sync, Section::Files, SyncViewController::kRestoreFromFileRow);
    }

    std::string m_otherRoot;
};

} // namespace

TEST_F(BackupFilesTest, ADownloadedBackupFileBringsTheLogbookToAnotherComputer) {
    SettingsManager::sharedManager().setThemeIndex(7);
    Vehicle car = addVehicle("Daily Driver", 48210, "Ford", "Focus", 2009);
    platform::graphics::ImageContext picture({80, 80}, true, 1);
    picture.context().setFillColor(Color::rgba(0.8, 0.1, 0.1));
    picture.context().fillRect({10, 10, 60, 60});
    ASSERT_TRUE(picture.image().writeToFile(car.pictureFile()));
    recordService(car, "Oil Change", localTime(2011, 2, 1), 43400);
    Repair repair;
    repair.vehicleID = car.vid;
    repair.name = "Windscreen";
    repair.datePerformed = localTime(2011, 1, 12);
    repair.odometer = 45000;
    repair.cost = 312.5;
    DB::saveRepair(repair, false);
    for (int odometer : {47000, 47420}) {
        Fillup fillup;
        fillup.vehicleID = car.vid;
        fillup.date = localTime(2011, 2, odometer == 47000 ? 3 : 17);
        fillup.odometer = odometer;
        fillup.quantity = 41.5;
        fillup.costPerUnit = 1.429;
        DB::saveFillup(fillup, false);
    }
    const std::string kept = logbook();
    launch();

    auto& sync = openDataBackup();
    EXPECT_EQ(cell(sync, Section::Files, SyncViewController::kDownloadRow).textLabel().text(),
        "Download Backup File");
    keepScreen("data-backup-this-computer");
    tap(sync, Section::Files, SyncViewController::kDownloadRow);
    ASSERT_EQ(driver().savedFiles().size(), 1u);
    const auto file = driver().savedFiles().front();
    EXPECT_EQ(file.name, "vantrel-backup-2011-03-01.zip");
    EXPECT_EQ(file.contentType, "application/zip");
    EXPECT_FALSE(driver().alert());
    EXPECT_EQ(logbook(), kept);

    launchOnAnotherComputer();
    ASSERT_TRUE(root().vehicles().empty());
    auto& fresh = openDataBackup();
    // Cancelling changes nothing.
    restoreFile(fresh, file.bytes, file.name);
    answerAlert("Confirm Restore",
        "Restoring will overwrite Vantrel data on this device. Are you sure you want to replace your data "
        "with "
        "data from the file vantrel-backup-2011-03-01.zip?",
        0);
    settle();
    EXPECT_TRUE(DB::vehiclesWithServiceDueInDays(14, 500).empty());

    restoreFile(fresh, file.bytes, file.name);
    driver().dismissAlert(1);
    answerAlert("Vantrel", "Restore completed successfully.");
    settle();
    EXPECT_EQ(&top<RootViewController>(), &root());
    EXPECT_EQ(logbook(), kept);
    EXPECT_EQ(ThemedViewController::selectedTheme(), 7);
    EXPECT_EQ(root().vehicles().size(), 1u);
    // The chosen file is not left behind.
    EXPECT_TRUE(fs::contentsOfDirectory(platform::Sandbox::temporaryDirectory()).empty());
}

TEST_F(BackupFilesTest, AFileThatIsNotABackupIsRefusedAndChangesNothing) {
    addVehicle("Daily Driver");
    launch();
    const std::string before = databaseDigest();
    auto& sync = openDataBackup();
    const std::string database = fs::readFile(fs::joinPath(documentsDirectory(), "vantrel.db")).value_or("");

    const std::string notABackup = "This file is not a Vantrel backup file. Nothing was changed.";
    restoreFile(sync, "Just some notes.\n", "notes.txt");
    answerAlert("Vantrel", notABackup);
    restoreFile(sync, zipBytes({{"holiday.jpg", "not a car logbook"}}), "holiday.zip");
    answerAlert("Vantrel", notABackup);
    restoreFile(sync, zipBytes({{"vantrel.db", database}, {"../escaped.txt", "outside"}}), "forged.zip");
    answerAlert("Vantrel",
        "This file names files outside Vantrel's data folder, so it cannot be restored. Nothing was "
        "changed.");

    settle();
    EXPECT_EQ(databaseDigest(), before);
    EXPECT_FALSE(fs::fileExists(fs::joinPath(platform::Sandbox::root(), "escaped.txt")));
    EXPECT_FALSE(fs::fileExists(fs::joinPath(platform::Sandbox::temporaryDirectory(), "../escaped.txt")));
    EXPECT_EQ(&top<SyncViewController>(), &sync);
    EXPECT_TRUE(fs::contentsOfDirectory(platform::Sandbox::temporaryDirectory()).empty());
}
