#include "backup/BackupScreensTestSupport.h"

#include <algorithm>

#include "backup/BackupServiceClient.h"
#include "data/DB.h"
#include "platform/base/Device.h"
#include "platform/base/RunLoop.h"
#include "platform/views/TableViewCell.h"
#include "ui/ViewExtensions.h"

namespace vantrel::test {

using namespace platform::views;

void BackupScreensTest::SetUp() {
    VantrelAppTest::SetUp();
    platform::Device::current().setName("Ann's phone");
    m_service = std::make_unique<LoopbackBackupServer>();
    ASSERT_TRUE(m_service->isRunning());
    m_service->store().setClock([this] { return m_backupTime; });
    client().reset();
    client().setBaseAddress(m_service->baseURL());
    m_observer = platform::NotificationCenter::defaultCenter().addObserver(
        BackupServiceClient::StatusChangedNotification, [this](const platform::Notification& notification) {
            m_reported.push_back(notification.userInfo.at("operation").string());
        });
}

void BackupScreensTest::TearDown() {
    m_observer.remove();
    if (m_gate)
        m_gate->releaseAll();
    settle();
    VantrelAppTest::TearDown();
    m_gate.reset();
    m_service.reset();
    platform::Device::current().setName("");
    client().reset();
}

BackupServiceClient& BackupScreensTest::client() {
    return BackupServiceClient::sharedClient();
}

GatedBackupService& BackupScreensTest::gate() {
    if (!m_gate)
        m_gate = std::make_unique<GatedBackupService>(m_service->port());
    return *m_gate;
}

bool BackupScreensTest::waitFor(const std::function<bool()>& done) {
    return platform::RunLoop::main().runUntil(done, 60);
}

void BackupScreensTest::settle() {
    waitFor([] { return !client().isBusy() && !client().isArchiveOperationRunning(); });
    platform::RunLoop::main().waitForBackgroundThreads();
    driver().runUntilIdle();
}

void BackupScreensTest::answerAlert(const std::string& title, const std::string& message, int button) {
    // An operation's last message may show just before its busy overlay goes.
    ASSERT_TRUE(waitFor([this] { return driver().alert() && driver().window().isUserInteractionEnabled(); }))
        << "no alert to answer: " << message;
    auto alert = driver().alert();
    EXPECT_EQ(alert->title, title);
    EXPECT_EQ(alert->message, message);
    driver().dismissAlert(button);
}

SyncViewController& BackupScreensTest::openDataBackup() {
    driver().pressLeftBarButton();
    settle();
    return top<SyncViewController>();
}

TableViewCell& BackupScreensTest::cell(
    SyncViewController& screen, SyncViewController::Section section, int row) {
    auto indexPath = screen.indexPathFor(section, row);
    if (!indexPath)
        throw std::logic_error("the section is not shown");
    return driver().scrollToRow(*screen.tableView(), indexPath->section, indexPath->row);
}

void BackupScreensTest::tap(SyncViewController& screen, SyncViewController::Section section, int row) {
    auto indexPath = screen.indexPathFor(section, row);
    ASSERT_TRUE(indexPath) << "the section is not shown";
    driver().tapRow(*screen.tableView(), indexPath->section, indexPath->row);
}

void BackupScreensTest::registerDevice(const std::string& email, const std::string& deviceName) {
    auto& sync = openDataBackup();
    tap(sync, SyncViewController::Section::Account);
    auto& setup = top<SyncSetupViewController>();
    driver().type(*setup.emailField(), email);
    driver().tap(*setup.deviceNameField());
    for (size_t i = 0; i < setup.deviceName().size() + 2; ++i)
        driver().pressDelete();
    driver().type(*setup.deviceNameField(), deviceName);
    driver().pressRightBarButton();
    answerAlert("Vantrel", "This device is registered and authorized for backups.");
    settle();
    driver().pressBack();
}

void BackupScreensTest::backUp(SyncViewController& screen) {
    tap(screen, SyncViewController::Section::Backup);
    answerAlert("Vantrel", "Backup completed successfully.");
    settle();
    m_backupTime += 3600;
}

BackupListViewController& BackupScreensTest::openBackupList(SyncViewController& screen, bool waitForTheList) {
    tap(screen, SyncViewController::Section::Restore);
    if (waitForTheList)
        settle();
    return top<BackupListViewController>();
}

bool BackupScreensTest::waitForStatus(const std::string& operation) {
    return waitFor(
        [&] { return std::find(m_reported.begin(), m_reported.end(), operation) != m_reported.end(); });
}

bool BackupScreensTest::overlayShown() {
    return driver().window().viewWithTag(kBusyOverlayTag) != nullptr;
}

std::vector<std::string> BackupScreensTest::carNames() {
    std::vector<std::string> names;
    for (const Vehicle& vehicle : DB::vehiclesWithServiceDueInDays(14, 500))
        names.push_back(vehicle.name);
    return names;
}

} // namespace vantrel::test
