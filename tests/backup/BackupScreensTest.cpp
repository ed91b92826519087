#include <gtest/gtest.h>

#include "QLCoreLibrary/FileManagerExtensions.h"
#include "backup/BackupScreensTestSupport.h"
#include "backup/BackupServiceClient.h"
#include "data/DB.h"
#include "model/SettingsManager.h"
#include "platform/base/FileSystem.h"
#include "platform/views/Label.h"
#include "platform/views/TableViewCell.h"
#include "ui/ThemedViewController.h"

using namespace vantrel::test;
using namespace platform::views;
using Section = SyncViewController::Section;
namespace fs = platform::fs;

namespace {

std::string databaseDigest() {
    return md5ForFileAtPath(fs::joinPath(documentsDirectory(), "vantrel.db"));
}

std::string detailOf(TableViewCell& cell) {
    return cell.detailTextLabel() ? cell.detailTextLabel()->text() : "";
}

std::string labelText(TableViewCell& cell, int tag) {
    auto* label = dynamic_cast<Label*>(cell.contentView().viewWithTag(tag));
    return label ? label->text() : "<no label>";
}

std::string backupDate(std::time_t time) {
    char text[32];
    std::tm utc {};
    gmtime_r(&time, &utc);
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &utc);
    return BackupServiceClient::formatBackupDate(text);
}

} // namespace

TEST_F(BackupScreensTest, ANewUserRegistersBacksUpTwiceAndRestoresTheOlderBackup) {
    SettingsManager::sharedManager().setThemeIndex(2);
    addVehicle("Daily Driver", 48210, "Ford", "Focus", 2009);
    launch();

    // Not registered: the account alone (and the files section), no Refresh button.
    auto& sync = openDataBackup();
    EXPECT_EQ(driver().navigationTitle(), "Data Backup");
    EXPECT_EQ(sync.shownSections(), (std::vector<Section> {Section::Account, Section::Files}));
    TableViewCell& account = cell(sync, Section::Account);
    EXPECT_EQ(account.textLabel().text(), "E-mail");
    EXPECT_EQ(detailOf(account), "Setup");
    EXPECT_EQ(account.accessoryType(), TableViewCellAccessoryType::DisclosureIndicator);
    EXPECT_FALSE(sync.navigationItem().rightBarButtonItem());

    // The form checks the address first, then the name.
    tap(sync, Section::Account);
    auto& setup = top<SyncSetupViewController>();
    EXPECT_EQ(driver().navigationTitle(), "Setup");
    EXPECT_TRUE(setup.emailField()->isFirstResponder());
    EXPECT_TRUE(setup.deleteButton().isHidden());
    driver().tap(*setup.deviceNameField());
    for (int i = 0; i < 12; ++i)
        driver().pressDelete();
    driver().pressRightBarButton();
    answerAlert("Error", "An email address is required.");
    driver().type(*setup.emailField(), kEmail);
    driver().pressRightBarButton();
    answerAlert("Error", "Device name is required.");
    driver().type(*setup.deviceNameField(), "Ann's laptop");
    driver().pressRightBarButton();
    answerAlert("Vantrel", "This device is registered and authorized for backups.");
    settle();

    // Back on the data backup screen, with the count.
    ASSERT_EQ(&top<SyncViewController>(), &sync);
    EXPECT_EQ(sync.shownSections(),
        (std::vector<Section> {Section::Account, Section::Backup, Section::Restore, Section::Files}));
    EXPECT_EQ(detailOf(cell(sync, Section::Account)), kEmail);
    EXPECT_EQ(detailOf(cell(sync, Section::Restore)), "No Backup");
    // The Refresh button comes the next time the screen opens.
    EXPECT_FALSE(sync.navigationItem().rightBarButtonItem());

    backUp(sync);
    EXPECT_EQ(detailOf(cell(sync, Section::Restore)), "1 Available");
    // Later: another car and another theme, backed up too.
    addVehicle("Weekend Car", 12050, "Mazda", "MX-5", 1994);
    ThemedViewController::setSelectedTheme(5);
    backUp(sync);
    EXPECT_EQ(detailOf(cell(sync, Section::Restore)), "2 Available");

    // The list, newest first.
    auto& list = openBackupList(sync);
    EXPECT_EQ(driver().navigationTitle(), "Restore");
    ASSERT_EQ(list.tableView()->numberOfRowsInSection(0), 2);
    TableViewCell& newest = driver().scrollToRow(*list.tableView(), 0, 0);
    EXPECT_EQ(labelText(newest, 1001), "Ann's laptop");
    EXPECT_EQ(labelText(newest, 1002), backupDate(kFirstBackupTime + 3600));
    EXPECT_EQ(labelText(driver().scrollToRow(*list.tableView(), 0, 1), 1002), backupDate(kFirstBackupTime));
    keepScreen("backup-list");

    // Restoring the older one brings back its cars and its theme, on the list of cars.
    driver().tapRow(*list.tableView(), 0, 1);
    answerAlert("Confirm Restore",
        "Restoring will overwrite Vantrel data on this device. Are you sure you want to replace your data "
        "with "
        "data from Ann's laptop backed up on "
            + backupDate(kFirstBackupTime) + "?",
        1);
    answerAlert("Vantrel", "Restore completed successfully.");
    settle();
    EXPECT_EQ(&top<RootViewController>(), &root());
    EXPECT_EQ(carNames(), std::vector<std::string> {"Daily Driver"});
    EXPECT_EQ(root().vehicles().size(), 1u);
    EXPECT_EQ(ThemedViewController::selectedTheme(), 2);
    EXPECT_FALSE(overlayShown());
    EXPECT_TRUE(driver().window().isUserInteractionEnabled());
}

TEST_F(BackupScreensTest, ARestoreThatFailsLeavesTheDataAsItWasAndSaysWhy) {
    addVehicle("Daily Driver");
    launch();
    registerDevice();
    auto& sync = openDataBackup();
    backUp(sync);
    addVehicle("Bought Since");
    const std::string before = databaseDigest();
    auto& list = openBackupList(sync);

    auto restoreRow = [&](int row, const std::string& message) {
        driver().tapRow(*list.tableView(), 0, row);
        driver().dismissAlert(1);
        answerAlert("Vantrel", message);
        settle();
        EXPECT_EQ(&top<BackupListViewController>(), &list);
        EXPECT_EQ(databaseDigest(), before);
        EXPECT_EQ(carNames(), (std::vector<std::string> {"Daily Driver", "Bought Since"}));
        EXPECT_FALSE(overlayShown());
        EXPECT_TRUE(driver().window().isUserInteractionEnabled());
    };

    // The stored archive no longer matches its checksum.
    const auto stored = service().store().backups(kEmail).at(0);
    ASSERT_TRUE(fs::writeFileAtomically(stored.path, "damaged on the way"));
    restoreRow(0, "Downloaded file is corrupt, please try again.");

    // A download that checks out but is no archive.
    const std::string notAnArchive = "not a zip archive";
    fs::writeFileAtomically(fs::joinPath(driver().sandbox().root(), "bytes"), notAnArchive);
    service().store().addBackup(kEmail, "another-device", "Old phone", notAnArchive,
        md5ForFileAtPath(fs::joinPath(driver().sandbox().root(), "bytes")));
    list.refreshButtonPressed();
    settle();
    ASSERT_EQ(labelText(driver().scrollToRow(*list.tableView(), 0, 0), 1001), "Old phone");
    restoreRow(0, "The backup could not be restored. Your data was not changed.");

    // No service to download from.
    service().stop();
    restoreRow(1, "Unable to connect to the service. Please make sure your internet connection is working.");
}

TEST_F(BackupScreensTest, SetupKeepsANewNameLocallyRegistersANewAddressAndDeletesTheRegistration) {
    launch();
    registerDevice();
    auto registrations = [this] {
        int count = 0;
        for (const auto& line : service().log())
            count += line.find("registered ") != std::string::npos;
        return count;
    };
    ASSERT_EQ(registrations(), 1);

    // Done with another name: kept here, the service is not asked.
    auto& sync = openDataBackup();
    EXPECT_TRUE(sync.navigationItem().rightBarButtonItem());
    tap(sync, Section::Account);
    auto* setup = &top<SyncSetupViewController>();
    EXPECT_FALSE(setup->deleteButton().isHidden());
    EXPECT_EQ(setup->navigationItem().rightBarButtonItem()->title(), "Done");
    EXPECT_EQ(setup->emailField()->text(), kEmail);
    driver().tap(*setup->deviceNameField());
    for (int i = 0; i < 12; ++i)
        driver().pressDelete();
    driver().type(*setup->deviceNameField(), "Garage PC");
    driver().pressRightBarButton();
    settle();
    EXPECT_EQ(&top<SyncViewController>(), &sync);
    EXPECT_EQ(client().deviceName(), "Garage PC");
    EXPECT_EQ(registrations(), 1);

    // Done with another address registers anew.
    tap(sync, Section::Account);
    setup = &top<SyncSetupViewController>();
    driver().tap(*setup->emailField());
    for (int i = 0; i < 3; ++i)
        driver().pressDelete();
    driver().type(*setup->emailField(), "org");
    driver().pressRightBarButton();
    answerAlert("Vantrel", "This device is registered and authorized for backups.");
    settle();
    EXPECT_EQ(&top<SyncViewController>(), &sync);
    EXPECT_EQ(client().email(), "ann@example.org");
    EXPECT_EQ(registrations(), 2);
    EXPECT_EQ(client().backupCount(), 0);

    // Deleting the registration: kept on "Keep Data", gone on "Delete Data", with what was
    // known of its backups.
    tap(sync, Section::Account);
    setup = &top<SyncSetupViewController>();
    driver().tap(setup->deleteButton());
    answerAlert("Confirm Deletion",
        "Are you sure you want to delete the backup service registration data from this device?", 0);
    EXPECT_TRUE(client().hasCredentials());
    driver().tap(setup->deleteButton());
    driver().dismissAlert(1);
    EXPECT_FALSE(client().hasCredentials());
    EXPECT_EQ(client().backupCount(), -1);
    EXPECT_TRUE(client().backups().empty());
    EXPECT_EQ(&top<SyncSetupViewController>(), setup);
    EXPECT_EQ(setup->navigationItem().rightBarButtonItem()->title(), "Register");
    EXPECT_TRUE(setup->deleteButton().isHidden());
    EXPECT_EQ(setup->emailField()->text(), "");
    EXPECT_EQ(setup->deviceNameField()->text(), "Ann's phone");
    driver().pressBack();
    EXPECT_EQ(sync.shownSections(), (std::vector<Section> {Section::Account, Section::Files}));
}

TEST_F(BackupScreensTest, ALateCountReplyLeavesTheFormAndTheDeletionQuestionAlone) {
    launch();
    client().setBaseAddress(gate().baseURL());
    gate().hold("backupcount");
    driver().pressLeftBarButton();
    ASSERT_TRUE(waitFor([this] { return gate().waiting("backupcount") == 1; }));
    auto& sync = top<SyncViewController>();

    // The count the screen asked for on opening answers while the address is being typed.
    tap(sync, Section::Account);
    auto& setup = top<SyncSetupViewController>();
    driver().type(*setup.emailField(), "ann@exa");
    gate().release("backupcount");
    settle();
    ASSERT_EQ(&top<SyncSetupViewController>(), &setup);
    EXPECT_TRUE(setup.emailField()->isFirstResponder());
    EXPECT_EQ(setup.emailField()->text(), "ann@exa");

    // The registration's own answer does close the form.
    driver().type(*setup.emailField(), "mple.com");
    driver().pressRightBarButton();
    answerAlert("Vantrel", "This device is registered and authorized for backups.");
    settle();
    EXPECT_EQ(&top<SyncViewController>(), &sync);

    // A count that answers while the deletion is being asked about.
    driver().pressBack();
    gate().hold("backupcount");
    driver().pressLeftBarButton();
    ASSERT_TRUE(waitFor([this] { return gate().waiting("backupcount") == 1; }));
    tap(top<SyncViewController>(), Section::Account);
    auto& registered = top<SyncSetupViewController>();
    driver().tap(registered.deleteButton());
    ASSERT_TRUE(driver().alert());
    gate().release("backupcount");
    settle();
    driver().dismissAlert(1);
    EXPECT_FALSE(client().hasCredentials());
    EXPECT_EQ(&top<SyncSetupViewController>(), &registered);
    EXPECT_EQ(registered.navigationItem().rightBarButtonItem()->title(), "Register");
}

TEST_F(BackupScreensTest, TheConfirmedRestoreTakesTheBackupThatWasTappedWhateverTheListDoesMeanwhile) {
    addVehicle("Daily Driver");
    launch();
    registerDevice();
    auto& sync = openDataBackup();
    backUp(sync);
    addVehicle("Weekend Car");
    backUp(sync);
    openBackupList(sync);
    driver().pressBack();

    // Meanwhile another device backs up (the first backup's content will do).
    const auto first = service().store().backups(kEmail).back();
    service().store().addBackup(
        kEmail, "another-device", "Old phone", fs::readFile(first.path).value_or(""), first.md5);

    // The list opens on the two it knows; the service's answer, with three, comes while the
    // older one is being confirmed.
    client().setBaseAddress(gate().baseURL());
    gate().hold("backuplist");
    auto& list = openBackupList(sync, false);
    ASSERT_EQ(list.tableView()->numberOfRowsInSection(0), 2);
    driver().tapRow(*list.tableView(), 0, 1);
    gate().release("backuplist");
    settle();
    ASSERT_EQ(list.tableView()->numberOfRowsInSection(0), 3);
    driver().dismissAlert(1);
    answerAlert("Vantrel", "Restore completed successfully.");
    settle();
    EXPECT_EQ(carNames(), std::vector<std::string> {"Daily Driver"});

    // A backup that the answer no longer lists is not restored.
    auto& again = openDataBackup();
    auto& shortened = openBackupList(again);
    gate().hold("backuplist");
    gate().answer("backuplist", R"({"Status":"OK","Description":"0 backups","Data":[]})");
    shortened.refreshButtonPressed();
    driver().tapRow(*shortened.tableView(), 0, 0);
    gate().release("backuplist");
    settle();
    driver().dismissAlert(1);
    answerAlert("Vantrel", BackupListViewController::kGoneMessage);
    settle();
    EXPECT_EQ(&top<BackupListViewController>(), &shortened);
    EXPECT_EQ(carNames(), std::vector<std::string> {"Daily Driver"});
}

TEST_F(BackupScreensTest, TheBusyOverlayStaysUpUntilTheRestoreHasEnded) {
    addVehicle("Daily Driver");
    launch();
    registerDevice();
    auto& sync = openDataBackup();
    backUp(sync);
    addVehicle("Weekend Car");
    openBackupList(sync);
    driver().pressBack();

    client().setBaseAddress(gate().baseURL());
    gate().hold("backuplist");
    gate().hold("getfile");
    auto& list = openBackupList(sync, false);
    driver().tapRow(*list.tableView(), 0, 0);
    driver().dismissAlert(1);
    ASSERT_TRUE(waitFor([this] { return gate().waiting("getfile") == 1; }));
    driver().runUntilIdle();
    ASSERT_TRUE(overlayShown());
    EXPECT_FALSE(driver().window().isUserInteractionEnabled());

    // The list the screen asked for on opening answers, and a request fails to connect.
    gate().release("backuplist");
    ASSERT_TRUE(waitForStatus("backuplist"));
    EXPECT_TRUE(overlayShown());
    EXPECT_FALSE(driver().window().isUserInteractionEnabled());
    client().setBaseAddress("http://127.0.0.1:9/");
    client().refreshBackupList();
    ASSERT_TRUE(waitForStatus("connect"));
    EXPECT_TRUE(overlayShown());
    EXPECT_FALSE(driver().window().isUserInteractionEnabled());

    gate().release("getfile");
    ASSERT_TRUE(waitFor([this] { return !overlayShown(); }));
    settle();
    EXPECT_TRUE(driver().window().isUserInteractionEnabled());
    for (int i = 0; i < 2 && driver().alert(); ++i)
        driver().dismissAlert(0);
    EXPECT_EQ(&top<RootViewController>(), &root());
    EXPECT_EQ(carNames(), std::vector<std::string> {"Daily Driver"});
}
