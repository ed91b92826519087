#pragma once

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AppTestSupport.h"
#include "backup/BackupListViewController.h"
#include "backup/BackupServiceClient.h"
#include "backup/GatedBackupService.h"
#include "backup/SyncSetupViewController.h"
#include "backup/SyncViewController.h"
#include "server/LoopbackBackupServer.h"

namespace vantrel::test {

// The application with the backup service of vantrel-backupd on a loopback port (and a gate in
// front of it for the tests that need a reply to come at a chosen moment), driven through its
// backup screens. Backups are stamped with a test clock that starts at 08:00 UTC on
// 1 March 2011 and moves an hour per backup.
class BackupScreensTest : public VantrelAppTest {
protected:
    static constexpr const char* kEmail = "ann@example.com";
    static constexpr std::time_t kFirstBackupTime = 1298966400;

    void SetUp() override;
    void TearDown() override;

    static BackupServiceClient& client();
    LoopbackBackupServer& service() { return *m_service; }
    GatedBackupService& gate();
    // Lets the client's requests and workers finish and deliver.
    void settle();
    bool waitFor(const std::function<bool()>& done);
    // Waits for an alert, checks its title and message and taps its button `button`.
    void answerAlert(const std::string& title, const std::string& message, int button = 0);

    // The left button of the list of cars.
    SyncViewController& openDataBackup();
    platform::views::TableViewCell& cell(
        SyncViewController& screen, SyncViewController::Section section, int row = 0);
    void tap(SyncViewController& screen, SyncViewController::Section section, int row = 0);
    // Registers through the setup screen, from the list of cars; back on the list of cars.
    void registerDevice(const std::string& email = kEmail, const std::string& deviceName = "Ann's laptop");
    // "Backup Now" on the data backup screen, answered by the service.
    void backUp(SyncViewController& screen);
    // The list, once the service has answered (unless its answer is being held).
    BackupListViewController& openBackupList(SyncViewController& screen, bool waitForTheList = true);

    // Waits until the client has reported the operation (since the test began).
    bool waitForStatus(const std::string& operation);

    bool overlayShown();
    std::vector<std::string> carNames();

private:
    std::unique_ptr<LoopbackBackupServer> m_service;
    std::unique_ptr<GatedBackupService> m_gate;
    std::time_t m_backupTime {kFirstBackupTime};
    std::vector<std::string> m_reported;
    platform::ObserverToken m_observer;
};

} // namespace vantrel::test
