#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>
#include <unistd.h>

#include "QLCoreLibrary/BackupArchive.h"
#include "QLCoreLibrary/FileManagerExtensions.h"
#include "QLCoreLibrary/ZipArchive.h"
#include "backup/BackupServiceClient.h"
#include "backup/ScriptedService.h"
#include "data/DB.h"
#include "platform/base/Device.h"
#include "platform/base/FileSystem.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/RunLoop.h"
#include "platform/base/Sandbox.h"
#include "platform/base/UserDefaults.h"
#include "platform/net/FormRequest.h"
#include "platform/net/SilentSocket.h"
#include "server/LoopbackBackupServer.h"
#include "support/DataFiles.h"
#include "support/TemporarySandbox.h"

using platform::RunLoop;
using platform::UserDefaults;
using vantrel::test::LoopbackBackupServer;
using vantrel::test::ScriptedService;
using vantrel::test::TemporarySandbox;
using vantrel::test::zipArchiveBytes;
namespace fs = platform::fs;

namespace {

const char* kPending
    = "This device has not be authorized for use with the backup service. Please check your email "
      "for instructions on how to authorize your device.";
const char* kUnauthorized = "Backup service account was not found. Please register first.";
const char* kConnection
    = "Unable to connect to the service. Please make sure your internet connection is working.";
const char* kNotFound = "The requested backup was not found on the server.";
const char* kCorrupt = "Downloaded file is corrupt, please try again.";

BackupServiceClient& client() {
    return BackupServiceClient::sharedClient();
}

std::string document(const std::string& name) {
    return fs::joinPath(documentsDirectory(), name);
}

std::string md5Of(const std::string& content) {
    const std::string path = fs::joinPath(platform::Sandbox::temporaryDirectory(), "md5-input");
    fs::writeFileAtomically(path, content);
    std::string digest = md5ForFileAtPath(path);
    fs::removeItem(path);
    return digest;
}

class BackupServiceClientTest : public testing::Test {
protected:
    BackupServiceClientTest() {
        platform::Device::current().setName("Ann's phone");
        client().reset();
        client().setBaseAddress(m_server->baseURL());
        BackupServiceClient::setAlertPresenter([this](const std::string& title, const std::string& message) {
            EXPECT_EQ(title, "Vantrel");
            EXPECT_TRUE(RunLoop::main().isMainThread());
            m_alerts.push_back(message);
        });
        m_observer = platform::NotificationCenter::defaultCenter().addObserver(
            BackupServiceClient::StatusChangedNotification,
            [this](const platform::Notification& notification) {
                EXPECT_TRUE(RunLoop::main().isMainThread());
                EXPECT_EQ(notification.object, &client());
                const auto& info = notification.userInfo;
                std::string event = info.at("operation").string() + "/" + info.at("status").string();
                if (auto description = info.find("description"); description != info.end())
                    event += "/" + description->second.string();
                m_events.push_back(event);
            });
    }
    ~BackupServiceClientTest() override {
        RunLoop::main().waitForBackgroundThreads();
        RunLoop::main().runUntilIdle();
        // Backup and restore always reopen the database; leave none open for the next test.
        DB::disconnect();
        BackupServiceClient::setAlertPresenter(nullptr);
        platform::net::FormRequest::setTransferTimeouts(15, 60);
        platform::Device::current().setName("");
        client().reset();
    }

    bool waitFor(const std::function<bool()>& done) { return RunLoop::main().runUntil(done, 60); }
    bool waitForEvent(const std::string& event) {
        return waitFor([&] { return std::find(m_events.begin(), m_events.end(), event) != m_events.end(); });
    }
    // Lets every request and worker of the client finish and deliver.
    void settle() {
        waitFor([] { return !client().isBusy() && !client().isArchiveOperationRunning(); });
        RunLoop::main().waitForBackgroundThreads();
        RunLoop::main().runUntilIdle();
    }
    void clearRecords() {
        m_events.clear();
        m_alerts.clear();
    }
    void registerDevice(const std::string& email) {
        client().registerWithEmail(email, "Ann's phone");
        ASSERT_TRUE(waitFor([&] { return !m_alerts.empty(); }));
        settle();
        ASSERT_TRUE(client().hasCredentials());
        clearRecords();
    }
    void backupAndWait() {
        client().backup();
        ASSERT_TRUE(waitForEvent("backup/OK/Complete"));
        settle();
    }
    void restoreAndWait(int index) {
        client().restore(index);
        settle();
    }

    std::unique_ptr<TemporarySandbox> m_sandbox {std::make_unique<TemporarySandbox>()};
    std::unique_ptr<LoopbackBackupServer> m_server {std::make_unique<LoopbackBackupServer>()};
    std::vector<std::string> m_events;
    std::vector<std::string> m_alerts;
    platform::ObserverToken m_observer;
};

class PendingRegistrationTest : public BackupServiceClientTest {
protected:
    PendingRegistrationTest() {
        m_server = std::make_unique<LoopbackBackupServer>(false);
        client().setBaseAddress(m_server->baseURL());
    }
};

class ScriptedServiceClientTest : public BackupServiceClientTest {
protected:
    ScriptedServiceClientTest() {
        client().setBaseAddress(m_service.baseURL());
        client().saveCredentials("ann@example.com", "");
    }
    // Puts one entry with this bid into the client's list.
    void listOneBackup(const std::string& bid) {
        m_service.onJSON("backuplist",
            R"({"Status":"OK","Description":"1","Data":[{"bid":")" + bid
                + R"(","deviceName":"Old phone","date":"2024-03-05 14:07"}]})");
        client().refreshBackupList();
        ASSERT_TRUE(waitForEvent("backuplist/OK/1"));
        ASSERT_EQ(client().backups().size(), 1u);
        clearRecords();
    }
    void serveDownload(int status, const std::string& body, std::optional<std::string> hash) {
        m_service.on("getfile", [=](const httplib::Request& request, httplib::Response& response) {
            EXPECT_EQ(request.get_param_value("bid"), "b1");
            EXPECT_EQ(request.get_param_value("email"), "ann@example.com");
            response.status = status;
            if (hash)
                response.set_header("Hash", *hash);
            response.set_content(body, "application/zip");
        });
    }

    ScriptedService m_service;
};

} // namespace

TEST_F(PendingRegistrationTest, BackupWaitsForTheAuthorizationLink) {
    client().registerWithEmail("ann@example.com", "Ann's car phone");
    EXPECT_TRUE(client().isBusy());
    ASSERT_TRUE(waitFor([&] { return !m_alerts.empty(); }));
    settle();
    ASSERT_EQ(m_events.size(), 1u);
    EXPECT_EQ(m_events[0].rfind("registerdevice/OK/Thank you for registering.", 0), 0u);
    // The service's own description is shown also on success.
    EXPECT_EQ("registerdevice/OK/" + m_alerts.at(0), m_events[0]);
    EXPECT_EQ(client().email(), "ann@example.com");
    EXPECT_EQ(client().deviceName(), "Ann's car phone");
    EXPECT_FALSE(client().isBusy());
    clearRecords();

    backupAndWait();
    EXPECT_EQ(m_alerts, std::vector<std::string> {kPending});
    EXPECT_EQ(m_events, (std::vector<std::string> {"backup/busy/Backing up", "backup/OK/Complete"}));
    EXPECT_EQ(m_server->store().backupCount("ann@example.com"), 0);
    clearRecords();

    httplib::Client browser("127.0.0.1", m_server->port());
    ASSERT_EQ(browser.Get(m_server->lastAuthorizationPath().c_str())->status, 200);
    backupAndWait();
    EXPECT_EQ(m_alerts, std::vector<std::string> {"Backup completed successfully."});
    // The count is refreshed once the backup has finished.
    EXPECT_EQ(m_events,
        (std::vector<std::string> {"backup/busy/Backing up", "backup/OK/Complete", "backupcount/OK/1"}));
    EXPECT_EQ(client().backupCount(), 1);
    EXPECT_EQ(m_server->store().backups("ann@example.com").at(0).deviceName, "Ann's car phone");
}

TEST_F(BackupServiceClientTest, RefusedRegistrationStoresNothing) {
    client().registerWithEmail("not-an-address", "Ann's phone");
    ASSERT_TRUE(waitFor([&] { return !m_alerts.empty(); }));
    settle();
    EXPECT_EQ(m_alerts, std::vector<std::string> {"A valid email address is required."});
    EXPECT_TRUE(m_events.empty());
    EXPECT_FALSE(client().hasCredentials());
}

TEST_F(BackupServiceClientTest, AccountKeepsOnlyANameOfItsOwn) {
    EXPECT_EQ(client().email(), "");
    EXPECT_EQ(client().deviceName(), "Ann's phone");
    EXPECT_EQ(client().deviceID(), platform::Device::current().uniqueIdentifier());

    client().saveCredentials("ann@example.com", " \t ");
    EXPECT_FALSE(UserDefaults::standardUserDefaults().objectForKey("deviceName"));
    client().saveCredentials("ann@example.com", "Ann's phone");
    EXPECT_FALSE(UserDefaults::standardUserDefaults().objectForKey("deviceName"));
    // Without a name of its own, the account follows the device's name.
    platform::Device::current().setName("Renamed phone");
    EXPECT_EQ(client().deviceName(), "Renamed phone");

    client().saveCredentials("ann@example.com", "Glovebox");
    EXPECT_EQ(client().deviceName(), "Glovebox");
    // Written to disk at once.
    UserDefaults::resetStandardUserDefaults();
    EXPECT_EQ(client().email(), "ann@example.com");
    client().clearCredentials();
    UserDefaults::resetStandardUserDefaults();
    EXPECT_FALSE(client().hasCredentials());
    EXPECT_EQ(client().deviceName(), "Renamed phone");
}

TEST_F(BackupServiceClientTest, BackupWithoutAccountIsRefused) {
    client().saveCredentials("ann@example.com", "");
    fs::writeFileAtomically(document("vantrel.db"), vantrel::test::shippedDatabaseBytes());
    backupAndWait();
    EXPECT_EQ(m_alerts, std::vector<std::string> {kUnauthorized});
    EXPECT_EQ(m_events, (std::vector<std::string> {"backup/busy/Backing up", "backup/OK/Complete"}));
    EXPECT_FALSE(fs::fileExists(BackupArchive::archivePath()));
}

TEST_F(BackupServiceClientTest, BackupSendsTheDocumentsAndTheSettings) {
    registerDevice("ann@example.com");
    fs::writeFileAtomically(document("vantrel.db"), std::string(100000, 'v'));
    fs::writeFileAtomically(document("1.png"), "picture");
    fs::writeFileAtomically(document(".hidden"), "hidden");
    fs::createDirectories(document("folder"));
    fs::writeFileAtomically(fs::joinPath(document("folder"), "inner"), "inner");
    UserDefaults::standardUserDefaults().setInteger("themeIndex", 12); // not yet on disk

    backupAndWait();
    EXPECT_EQ(m_alerts, std::vector<std::string> {"Backup completed successfully."});
    EXPECT_FALSE(fs::fileExists(BackupArchive::archivePath()));

    const auto stored = m_server->store().backups("ann@example.com");
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].deviceName, "Ann's phone");
    const std::string target = fs::makeTemporaryDirectory("extracted");
    ZipArchive archive(stored[0].path);
    ASSERT_TRUE(archive.openForReading());
    const auto names = archive.contents();
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.begin() + 2),
        (std::set<std::string> {"vantrel.db", "1.png"}));
    EXPECT_EQ(names[2], "com.quillon.vantrel.plist");
    EXPECT_TRUE(archive.extractAllToPath(target));
    archive.close();
    EXPECT_EQ(
        fs::readFile(fs::joinPath(target, "com.quillon.vantrel.plist")), fs::readFile(appPreferencesFile()));
    EXPECT_NE(fs::readFile(appPreferencesFile()).value_or("").find("themeIndex"), std::string::npos);
    fs::removeItem(target);
}

TEST_F(BackupServiceClientTest, RestoreOnAnotherDeviceBringsBackVehiclesAndSettings) {
    registerDevice("ann@example.com");
    DB::connect();
    Vehicle daily;
    daily.name = "Daily driver";
    daily.odometer = 48210;
    ASSERT_TRUE(DB::saveVehicle(daily));
    Vehicle weekend;
    weekend.name = "Weekend car";
    ASSERT_TRUE(DB::saveVehicle(weekend));
    fs::writeFileAtomically(document("1.png"), vantrel::test::pngBytes(8, 6));
    UserDefaults::standardUserDefaults().setInteger("themeIndex", 12);
    backupAndWait();
    ASSERT_EQ(m_server->store().backupCount("ann@example.com"), 1);
    // The backup closed the database only while packing it.
    EXPECT_EQ(DB::vehiclesWithServiceDueInDays(14, 500).size(), 2u);
    DB::disconnect();
    const std::string firstDevice = client().deviceID();

    // Another device: a sandbox of its own, with data of its own.
    m_sandbox.reset();
    m_sandbox = std::make_unique<TemporarySandbox>();
    ASSERT_NE(client().deviceID(), firstDevice);
    platform::Device::current().setName("Ann's tablet");
    DB::connect();
    Vehicle other;
    other.name = "Tablet's car";
    DB::saveVehicle(other);
    fs::writeFileAtomically(document("9.png"), "kept");
    UserDefaults::standardUserDefaults().setInteger("themeIndex", 3);
    registerDevice("ann@example.com");

    client().refreshBackupList();
    ASSERT_TRUE(waitForEvent("backuplist/OK/1 backup"));
    ASSERT_EQ(client().backups().size(), 1u);
    EXPECT_EQ(client().backups()[0].at("deviceName").string(), "Ann's phone");
    clearRecords();

    restoreAndWait(0);
    EXPECT_EQ(m_events, (std::vector<std::string> {"restore/busy/Restoring", "restore/OK/Complete"}));
    EXPECT_EQ(m_alerts, std::vector<std::string> {"Restore completed successfully."});
    const auto vehicles = DB::vehiclesWithServiceDueInDays(14, 500);
    ASSERT_EQ(vehicles.size(), 2u);
    EXPECT_EQ(vehicles[0].name, "Daily driver");
    EXPECT_EQ(vehicles[0].odometer, 48210);
    EXPECT_EQ(vehicles[1].name, "Weekend car");
    EXPECT_EQ(fs::readFile(document("1.png")), vantrel::test::pngBytes(8, 6));
    EXPECT_EQ(fs::readFile(document("9.png")), "kept");
    EXPECT_FALSE(fs::fileExists(document("com.quillon.vantrel.plist")));
    EXPECT_EQ(UserDefaults::standardUserDefaults().integerForKey("themeIndex"), 12);
    EXPECT_FALSE(fs::fileExists(BackupArchive::archivePath()));
    EXPECT_FALSE(fs::fileExists(BackupArchive::stagingDirectory()));
    DB::disconnect();
}

TEST_F(ScriptedServiceClientTest, CountAndListTakeWhatTheyCan) {
    m_service.onJSON("backupcount", R"({"Status":"OK","Description":"3"})");
    client().refreshBackupCount();
    ASSERT_TRUE(waitForEvent("backupcount/OK/3"));
    EXPECT_EQ(client().backupCount(), 3);

    m_service.onJSON("backupcount", R"({"Status":"Error","Description":"No account."})");
    client().refreshBackupCount();
    ASSERT_TRUE(waitForEvent("backupcount/Error/No account."));
    EXPECT_EQ(client().backupCount(), 3);

    m_service.onJSON("backupcount", R"({"Status":"OK","Description":"several"})");
    client().refreshBackupCount();
    ASSERT_TRUE(waitForEvent("backupcount/OK/several"));
    EXPECT_EQ(client().backupCount(), 0);

    m_service.on("backupcount", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html>Bad Gateway</html>", "text/html");
    });
    client().refreshBackupCount();
    ASSERT_TRUE(waitForEvent("backupcount/Error"));

    listOneBackup("b1");
    m_service.onJSON("backuplist", R"({"Status":"OK","Description":"odd","Data":{"bid":"x"}})");
    client().refreshBackupList();
    ASSERT_TRUE(waitForEvent("backuplist/OK/odd"));
    ASSERT_EQ(client().backups().size(), 1u);
    EXPECT_EQ(client().backups()[0].at("bid").string(), "b1");

    // A reply nesting 18,700 arrays deep once overflowed the stack: now it is no reply.
    m_service.onJSON("backuplist",
        R"({"Status":"OK","Description":"deep","Data":)" + std::string(18700, '[') + std::string(18700, ']')
            + "}");
    client().refreshBackupList();
    ASSERT_TRUE(waitForEvent("backuplist/Error"));
    EXPECT_EQ(client().backups().size(), 1u);

    m_service.onJSON("backuplist", R"({"Status":"Error","Description":"Not authorized."})");
    client().refreshBackupList();
    ASSERT_TRUE(waitForEvent("backuplist/Error/Not authorized."));
    EXPECT_EQ(client().backups().size(), 1u);

    m_service.onJSON("backuplist",
        R"({"Status":"OK","Description":"2","Data":[{"bid":7,"deviceName":"A","date":"2024-01-01 10:00"},"junk",{"bid":"b9"}]})");
    client().refreshBackupList();
    ASSERT_TRUE(waitForEvent("backuplist/OK/2"));
    ASSERT_EQ(client().backups().size(), 2u);
    EXPECT_EQ(client().backups()[0].at("bid").toString(), "7");
    EXPECT_TRUE(m_alerts.empty());
}

TEST_F(ScriptedServiceClientTest, ExceptionRepliesShowTheClientsOwnMessage) {
    m_service.onJSON(
        "registerdevice", R"({"Status":"Exception","Description":"NullReferenceException at line 12"})");
    client().registerWithEmail("bob@example.com", "Bob");
    ASSERT_TRUE(waitFor([&] { return !m_alerts.empty(); }));
    EXPECT_EQ(m_alerts[0], "Could not process request because of an unknown error. Please contact support.");
    EXPECT_TRUE(m_events.empty());
    EXPECT_EQ(client().email(), "ann@example.com");
}

TEST_F(ScriptedServiceClientTest, AuthorizationFailureStatusDoesNotStopTheUpload) {
    m_service.onJSON("authorizationstatus", R"({"Status":"Error","Description":"unauthorized"})");
    m_service.onJSON("uploadfile", R"({"Status":"Error","Description":"Quota exceeded."})");
    backupAndWait();
    EXPECT_EQ(m_service.calls("uploadfile"), 1);
    EXPECT_EQ(m_alerts, std::vector<std::string> {"Quota exceeded."});
    // A refused upload keeps its archive and refreshes nothing.
    EXPECT_TRUE(fs::fileExists(BackupArchive::archivePath()));
    EXPECT_EQ(m_events, (std::vector<std::string> {"backup/busy/Backing up", "backup/OK/Complete"}));
}

TEST_F(ScriptedServiceClientTest, FailedDownloadsLeaveTheDataUntouched) {
    const std::string archive = zipArchiveBytes({{"vantrel.db", "restored database"}});
    struct Case {
        const char* name;
        int status;
        std::string body;
        std::optional<std::string> hash;
        std::string alert;
    };
    std::string upper = md5Of(archive);
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    const Case cases[] = {
        {"not found", 404, R"({"Status":"Error"})", std::nullopt, kNotFound},
        {"hash mismatch", 200, archive, md5Of("something else"), kCorrupt},
        {"upper-case hash", 200, archive, upper, kCorrupt},
        {"no hash header", 200, archive, std::nullopt, kCorrupt},
        {"no body", 200, "", md5Of(""), "Download failed."},
        {"no zip archive", 200, "garbage", md5Of("garbage"),
            "The backup could not be restored. Your data was not changed."},
    };
    fs::writeFileAtomically(document("vantrel.db"), "current database");
    UserDefaults::standardUserDefaults().setInteger("themeIndex", 4);
    listOneBackup("b1");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        serveDownload(c.status, c.body, c.hash);
        restoreAndWait(0);
        EXPECT_EQ(m_alerts, std::vector<std::string> {c.alert});
        EXPECT_EQ(m_events, (std::vector<std::string> {"restore/busy/Restoring", "restore/Error/Complete"}));
        EXPECT_EQ(fs::readFile(document("vantrel.db")), "current database");
        EXPECT_EQ(UserDefaults::standardUserDefaults().integerForKey("themeIndex"), 4);
        EXPECT_FALSE(fs::fileExists(BackupArchive::stagingDirectory()));
        clearRecords();
    }
}

TEST_F(ScriptedServiceClientTest, HostileArchiveCannotWriteOutsideTheDocuments) {
    const std::string outside = fs::joinPath(m_sandbox->root(), "escaped.db");
    const std::string absolute = fs::joinPath(platform::Sandbox::temporaryDirectory(), "absolute.db");
    const std::string database = vantrel::test::shippedDatabaseBytes();
    const std::string archive = zipArchiveBytes({{"vantrel.db", database}, {"../escaped.db", "up"},
        {absolute, "absolute"}, {"Library/Preferences/com.quillon.vantrel.plist", "nested"}});
    listOneBackup("b1");
    serveDownload(200, archive, md5Of(archive));
    const auto rootBefore = fs::contentsOfDirectory(m_sandbox->root());

    restoreAndWait(0);
    EXPECT_EQ(m_events, (std::vector<std::string> {"restore/busy/Restoring", "restore/OK/Complete"}));
    EXPECT_EQ(fs::readFile(document("vantrel.db")), database);
    EXPECT_FALSE(fs::fileExists(outside));
    EXPECT_FALSE(fs::fileExists(absolute));
    EXPECT_EQ(fs::contentsOfDirectory(m_sandbox->root()), rootBefore);
    EXPECT_EQ(fs::contentsOfDirectory(documentsDirectory()), std::vector<std::string> {"vantrel.db"});
}

TEST_F(ScriptedServiceClientTest, HostileArchivesAreRefusedWithTheDataUntouched) {
    const std::string current
        = vantrel::test::databaseBytesAfter("INSERT INTO Vehicle (Name) VALUES ('Mine')");
    fs::writeFileAtomically(document("vantrel.db"), current);
    DB::connect();
    const std::string bomb
        = zipArchiveBytes({{"vantrel.db", current}, {"filler", std::string(6 << 20, '\0')}});
    BackupServiceClient::Limits limits;
    limits.maxRestoreBytes = 1 << 20;
    client().setLimits(limits);
    const std::pair<std::string, std::string> cases[] = {
        {zipArchiveBytes({{"vantrel.db", "text, not a database"}}),
            "The database in the backup is damaged. Your data was not changed."},
        {zipArchiveBytes({{"vantrel.db", current}, {"vantrel.db", "garbage"}}),
            "The backup is damaged: it holds the same file more than once. Your data was not changed."},
        {bomb, "The backup is larger than Vantrel can restore. Your data was not changed."},
    };
    listOneBackup("b1");
    for (const auto& [archive, alert] : cases) {
        serveDownload(200, archive, md5Of(archive));
        restoreAndWait(0);
        EXPECT_EQ(m_alerts, std::vector<std::string> {alert});
        EXPECT_EQ(m_events.back(), "restore/Error/Complete");
        EXPECT_EQ(fs::readFile(document("vantrel.db")), current);
        EXPECT_EQ(DB::vehiclesWithServiceDueInDays(14, 500).size(), 1u) << "the data is open again";
        clearRecords();
    }
    DB::disconnect();
}

TEST_F(ScriptedServiceClientTest, SlowHugeOrSpaceFillingRepliesEndInAClearFailure) {
    BackupServiceClient::Limits limits;
    limits.controlSeconds = 0.5;
    limits.fileSeconds = 0.5;
    client().setLimits(limits);
    // A service that trickles its reply: cut at the deadline, not after minutes.
    m_service.on("backupcount", [](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider("application/json", [](size_t offset, httplib::DataSink& sink) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the service's pace, not the test's
            return offset < 200 && sink.write(" ", 1);
        });
    });
    const auto started = std::chrono::steady_clock::now();
    client().refreshBackupCount();
    ASSERT_TRUE(waitForEvent("backupcount/Error/The request timed out."));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));

    // 2 MiB for a count: refused, not held in memory.
    m_service.onJSON("backupcount", R"({"Status":"OK","Description":")" + std::string(2 << 20, '7') + "\"}");
    client().refreshBackupCount();
    ASSERT_TRUE(waitForEvent("backupcount/Error/The reply is larger than expected."));
    EXPECT_EQ(client().backupCount(), -1);

    // A download onto a full disk says so.
    const std::string archive = zipArchiveBytes({{"vantrel.db", vantrel::test::shippedDatabaseBytes()}});
    listOneBackup("b1");
    serveDownload(200, archive, md5Of(archive));
    ASSERT_EQ(symlink("/dev/full", (BackupArchive::archivePath() + ".download").c_str()), 0);
    fs::writeFileAtomically(document("vantrel.db"), "current database");
    restoreAndWait(0);
    EXPECT_EQ(m_alerts,
        std::vector<std::string> {"There is not enough free space on this device to download the backup. "
                                  "Please free some space and try again."});
    EXPECT_EQ(fs::readFile(document("vantrel.db")), "current database");
}

TEST_F(ScriptedServiceClientTest, AnIdentityThatCannotBeStoredStaysTheSameAndIsReported) {
    const std::string stored = fs::joinPath(platform::Sandbox::libraryDirectory(), "device-identifier");
    fs::createDirectories(stored); // in the way of the file: it cannot be written
    const std::string id = client().deviceID();
    EXPECT_EQ(id.size(), 40u);
    EXPECT_EQ(client().deviceID(), id);
    EXPECT_FALSE(platform::Device::current().isIdentifierStored());
    m_service.onJSON("registerdevice", R"({"Status":"OK","Description":"Registered."})");
    client().registerWithEmail("bob@example.com", "Bob");
    ASSERT_TRUE(waitFor([&] { return !m_alerts.empty(); }));
    EXPECT_EQ(m_alerts[0],
        "This device's identity could not be saved because Vantrel's data folder cannot be written. Please "
        "make it writable and register again.");
    EXPECT_EQ(m_service.calls("registerdevice"), 0);
    EXPECT_EQ(client().email(), "ann@example.com");
}

TEST_F(ScriptedServiceClientTest, OneArchiveOperationAtATime) {
    // The index must exist: an unknown one ends at once.
    restoreAndWait(0);
    EXPECT_EQ(m_events, std::vector<std::string> {"restore/Error/Complete"});
    EXPECT_EQ(m_alerts, std::vector<std::string> {kNotFound});
    EXPECT_EQ(m_service.calls("getfile"), 0);
    clearRecords();

    listOneBackup("b1");
    // A service that stops answering: the backup waits for it until the time-out.
    platform::net::FormRequest::setTransferTimeouts(15, 1);
    vantrel::test::SilentSocket silent;
    client().setBaseAddress(silent.url());
    client().backup();
    EXPECT_TRUE(client().isBusy());
    client().backup();
    client().restore(0);
    client().refreshBackupCount();
    ASSERT_TRUE(waitForEvent("backup/OK/Complete"));
    settle();
    EXPECT_EQ(m_events,
        (std::vector<std::string> {
            "backup/busy/Backing up", "connect/Error/The request timed out.", "backup/OK/Complete"}));
    EXPECT_EQ(m_alerts, std::vector<std::string> {kConnection});
}

TEST_F(BackupServiceClientTest, StoppedServiceIsATransportFailure) {
    registerDevice("ann@example.com");
    fs::writeFileAtomically(document("vantrel.db"), vantrel::test::shippedDatabaseBytes());
    backupAndWait();
    client().refreshBackupList();
    ASSERT_TRUE(waitForEvent("backuplist/OK/1 backup"));
    clearRecords();
    m_server->stop();

    client().refreshBackupCount();
    ASSERT_TRUE(waitForEvent("backupcount/Error/Could not connect to the server."));
    settle();
    EXPECT_TRUE(m_alerts.empty());
    EXPECT_EQ(client().backupCount(), 1);
    clearRecords();

    client().refreshBackupList();
    ASSERT_TRUE(waitForEvent("connect/Error/Could not connect to the server."));
    settle();
    EXPECT_EQ(m_alerts, std::vector<std::string> {kConnection});
    EXPECT_EQ(client().backups().size(), 1u);
    clearRecords();

    backupAndWait();
    EXPECT_EQ(m_events,
        (std::vector<std::string> {"backup/busy/Backing up", "connect/Error/Could not connect to the server.",
            "backup/OK/Complete"}));
    clearRecords();

    restoreAndWait(0);
    EXPECT_EQ(m_events,
        (std::vector<std::string> {
            "restore/busy/Restoring", "connect/Error/Could not connect to the server."}));
    EXPECT_EQ(m_alerts, std::vector<std::string> {kConnection});
    EXPECT_EQ(fs::readFile(document("vantrel.db")), vantrel::test::shippedDatabaseBytes());
}

TEST(BackupServiceClient, FormatsBackupDatesInTheLocalZone) {
    TemporarySandbox sandbox;
    // 14:07 UTC is 9:07 in New York, the test's time zone.
    const std::string text = BackupServiceClient::formatBackupDate("2024-03-05 14:07");
    EXPECT_NE(text.find("Mar 5, 2024"), std::string::npos) << text;
    EXPECT_NE(text.find("9:07"), std::string::npos) << text;
    EXPECT_EQ(BackupServiceClient::formatBackupDate("yesterday"), "yesterday");
}
