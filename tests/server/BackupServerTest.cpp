#include <gtest/gtest.h>

#include <httplib.h>
#include <nlohmann/json.hpp>
#include <openssl/evp.h>

#include "server/LoopbackBackupServer.h"

using vantrel::test::LoopbackBackupServer;

namespace {

const std::string kDevice = "0123456789abcdef0123456789abcdef01234567";
const std::string kOtherDevice = "fedcba9876543210fedcba9876543210fedcba98";

std::string md5(const std::string& content) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(content.data(), content.size(), digest, &length, EVP_md5(), nullptr);
    char hex[2 * EVP_MAX_MD_SIZE + 1] = {};
    for (unsigned int i = 0; i < length; ++i)
        std::snprintf(hex + 2 * i, 3, "%02x", digest[i]);
    return hex;
}

class BackupServerTest : public testing::Test {
protected:
    explicit BackupServerTest(bool autoAuthorize = false)
        : m_server(autoAuthorize, 4096) {
        EXPECT_TRUE(m_server.isRunning());
    }

    httplib::Client client() { return httplib::Client("127.0.0.1", m_server.port()); }

    nlohmann::json post(const std::string& operation, const httplib::Params& fields,
        const std::string& device = kDevice, int* httpStatus = nullptr) {
        return reply(client().Post(("/mobile/services/" + operation + "/" + device).c_str(), fields), httpStatus);
    }

    nlohmann::json upload(const std::string& email, const std::string& content, const std::string& hash,
        const std::string& device = kDevice, int* httpStatus = nullptr) {
        httplib::MultipartFormDataItems items {
            {"email", email, "", ""},
            {"deviceName", "Phone", "", ""},
            {"hash", hash, "", ""},
            {"file", content, "com.quillon.vantrel.backup.zip", "application/zip"},
        };
        return reply(client().Post(("/mobile/services/uploadfile/" + device).c_str(), items), httpStatus);
    }

    // The reply's JSON (null when the request failed), its HTTP status stored when asked.
    static nlohmann::json reply(const httplib::Result& result, int* httpStatus) {
        if (!result)
            return nullptr;
        if (httpStatus)
            *httpStatus = result->status;
        return nlohmann::json::parse(result->body, nullptr, false);
    }

    std::string authorization(const std::string& email, const std::string& device = kDevice) {
        return post("authorizationstatus", {{"email", email}}, device)["Description"];
    }

    LoopbackBackupServer m_server;
};

class AutoAuthorizingBackupServerTest : public BackupServerTest {
protected:
    AutoAuthorizingBackupServerTest()
        : BackupServerTest(true) { }
};

} // namespace

TEST_F(BackupServerTest, RegistrationStaysPendingUntilTheLoggedLinkIsOpened) {
    EXPECT_EQ(authorization("ann@example.com"), "unauthorized");
    auto reply = post("registerdevice", {{"email", "Ann@Example.com "}, {"deviceName", "Ann's phone"}});
    EXPECT_EQ(reply["Status"], "OK");
    EXPECT_EQ(authorization("ann@example.com"), "authorization-pending");
    EXPECT_EQ(authorization("ann@example.com", kOtherDevice), "unauthorized");

    // A pending device may not list or store backups.
    EXPECT_EQ(post("backuplist", {{"email", "ann@example.com"}})["Status"], "Error");
    EXPECT_EQ(upload("ann@example.com", "zip", md5("zip"))["Status"], "Error");

    const std::string link = m_server.lastAuthorizationPath();
    ASSERT_FALSE(link.empty());
    EXPECT_EQ(client().Get("/mobile/authorize/00000000000000000000000000000000")->status, 404);
    EXPECT_EQ(client().Get(link.c_str())->status, 200);
    EXPECT_EQ(authorization("ann@example.com"), "authorized");

    // Registering again keeps the device authorized.
    post("registerdevice", {{"email", "ann@example.com"}, {"deviceName", "Renamed"}});
    EXPECT_EQ(authorization("ann@example.com"), "authorized");
}

TEST_F(BackupServerTest, RefusesInvalidRequests) {
    int status = 0;
    EXPECT_EQ(post("registerdevice", {{"email", "no-at-sign"}, {"deviceName", "Phone"}})["Status"], "Error");
    EXPECT_EQ(post("registerdevice", {{"email", "a@b.c"}, {"deviceName", ""}})["Status"], "Error");
    EXPECT_EQ(
        post("registerdevice", {{"email", "a@b.c"}, {"deviceName", "x"}}, "bad%20id")["Status"], "Error");
    EXPECT_EQ(post("nosuchoperation", {{"email", "a@b.c"}}, kDevice, &status)["Status"], "Error");
    EXPECT_EQ(status, 404);
    EXPECT_EQ(authorization(""), "unauthorized");
}

TEST_F(AutoAuthorizingBackupServerTest, StoresListsAndServesBackupsNewestFirst) {
    post("registerdevice", {{"email", "ann@example.com"}, {"deviceName", "Phone"}});
    EXPECT_EQ(authorization("ann@example.com"), "authorized");
    EXPECT_TRUE(m_server.lastAuthorizationPath().empty());

    std::time_t now = 1709647620; // 2024-03-05 14:07 UTC
    m_server.store().setClock([&now] { return now; });
    EXPECT_EQ(upload("ann@example.com", "first archive", md5("first archive"))["Status"], "OK");
    now += 3600;
    EXPECT_EQ(upload("ann@example.com", "second archive", md5("second archive"))["Status"], "OK");

    auto count = post("backupcount", {{"email", "ann@example.com"}});
    EXPECT_EQ(count["Status"], "OK");
    EXPECT_EQ(count["Description"], "2");

    auto list = post("backuplist", {{"email", "ann@example.com"}});
    ASSERT_EQ(list["Data"].size(), 2u);
    EXPECT_EQ(list["Data"][0]["date"], "2024-03-05 15:07");
    EXPECT_EQ(list["Data"][1]["date"], "2024-03-05 14:07");
    EXPECT_EQ(list["Data"][0]["deviceName"], "Phone");

    const std::string newest = list["Data"][0]["bid"];
    auto file = client().Post(("/mobile/services/getfile/" + kDevice).c_str(),
        httplib::Params {{"email", "ann@example.com"}, {"bid", newest}});
    ASSERT_TRUE(file);
    EXPECT_EQ(file->status, 200);
    EXPECT_EQ(file->body, "second archive");
    EXPECT_EQ(file->get_header_value("Hash"), md5("second archive"));

    // Unknown backups and backups of another account are simply not there.
    auto missing = client().Post(("/mobile/services/getfile/" + kDevice).c_str(),
        httplib::Params {{"email", "ann@example.com"}, {"bid", "nope"}});
    EXPECT_EQ(missing->status, 404);
    EXPECT_FALSE(missing->has_header("Hash"));
    post("registerdevice", {{"email", "eve@example.com"}, {"deviceName", "Eve"}}, kOtherDevice);
    auto foreign = client().Post(("/mobile/services/getfile/" + kOtherDevice).c_str(),
        httplib::Params {{"email", "eve@example.com"}, {"bid", newest}});
    EXPECT_EQ(foreign->status, 404);
    EXPECT_EQ(post("backupcount", {{"email", "eve@example.com"}}, kOtherDevice)["Description"], "0");
}

TEST_F(AutoAuthorizingBackupServerTest, RejectsCorruptMissingAndOversizedUploads) {
    post("registerdevice", {{"email", "ann@example.com"}, {"deviceName", "Phone"}});
    EXPECT_EQ(upload("ann@example.com", "archive", md5("other"))["Status"], "Error");
    EXPECT_EQ(upload("ann@example.com", "archive", "")["Status"], "Error");
    EXPECT_EQ(post("uploadfile", {{"email", "ann@example.com"}, {"hash", md5("")}})["Status"], "Error");

    // Over the 4096-byte limit of this server: refused by the service, and far over it
    // refused while reading, with a reply the client can still show.
    const std::string large(8192, 'x');
    EXPECT_EQ(upload("ann@example.com", large, md5(large))["Status"], "Error");
    int status = 0;
    const std::string huge(200 * 1024, 'x');
    auto reply = upload("ann@example.com", huge, md5(huge), kDevice, &status);
    EXPECT_EQ(status, 413);
    EXPECT_EQ(reply["Status"], "Error");
    EXPECT_EQ(post("backupcount", {{"email", "ann@example.com"}})["Description"], "0");
}

TEST_F(AutoAuthorizingBackupServerTest, InternalFailureAnswersException) {
    post("registerdevice", {{"email", "ann@example.com"}, {"deviceName", "Phone"}});
    // The archive folder replaced by a plain file: storing cannot succeed.
    platform::fs::removeItem(m_server.store().filesFolder());
    ASSERT_TRUE(platform::fs::writeFileAtomically(m_server.store().filesFolder(), "in the way"));
    int status = 0;
    auto reply = upload("ann@example.com", "archive", md5("archive"), kDevice, &status);
    EXPECT_EQ(reply["Status"], "Exception");
    EXPECT_EQ(status, 500);
    EXPECT_EQ(post("backupcount", {{"email", "ann@example.com"}})["Description"], "0");
}
