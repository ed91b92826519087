#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/base/Device.h"
#include "platform/base/FileSystem.h"
#include "platform/net/FormRequest.h"
#include "platform/net/JSON.h"
#include "shell/BuiltInBackupService.h"
#include "shell/ShellOptions.h"
#include "support/TemporarySandbox.h"

using shell::BuiltInBackupService;
namespace fs = platform::fs;

namespace {

// The description of the service's answer to `operation` for the device.
std::string ask(const BuiltInBackupService& service, const std::string& operation, const std::string& device,
    const std::string& deviceName = "") {
    platform::net::FormRequest request(service.baseURL() + "mobile/services/" + operation + "/" + device);
    request.setPostValue("ann@example.com", "email");
    if (!deviceName.empty())
        request.setPostValue(deviceName, "deviceName");
    request.startSynchronous();
    auto reply = platform::net::JSON::decodeObject(request.responseString());
    if (!reply || !reply->count("Description"))
        return "<no reply>";
    return reply->at("Description").toString().value_or("");
}

} // namespace

TEST(BuiltInBackupService, KeepsItsBackupsOutsideTheDataFolder) {
    EXPECT_TRUE(BuiltInBackupService::problemWithFolder(
        "/home/ann/.local/share/vantrel", "/home/ann/.local/share/vantrel"));
    EXPECT_TRUE(BuiltInBackupService::problemWithFolder("/home/ann/data/Documents/b", "/home/ann/data/"));
    EXPECT_TRUE(BuiltInBackupService::problemWithFolder("/home/ann/data/../data/b", "/home/ann/data"));
    EXPECT_FALSE(BuiltInBackupService::problemWithFolder(
        "/home/ann/.local/share/vantrel-backups", "/home/ann/.local/share/vantrel"));
    EXPECT_FALSE(BuiltInBackupService::problemWithFolder("/srv/backups", "/home/ann/data"));

    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string previous = saved ? saved : "";
    setenv("XDG_DATA_HOME", "/home/ann/.data", 1);
    EXPECT_EQ(BuiltInBackupService::defaultFolder(), "/home/ann/.data/vantrel-backups");
    if (saved)
        setenv("XDG_DATA_HOME", previous.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");

    std::string error;
    auto options = shell::ShellOptions::parse({"--backups", "/srv/vantrel-backups"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->backupsDirectory, "/srv/vantrel-backups");
    EXPECT_FALSE(shell::ShellOptions::parse({"--backups="}, error));
}

TEST(BuiltInBackupService, AuthorizesThisDeviceAtOnceAndAnyOtherByItsLink) {
    vantrel::test::TemporarySandbox sandbox;
    const std::string parent = fs::makeTemporaryDirectory("vantrel-builtin");
    const std::string folder = fs::joinPath(parent, "backups");
    {
        BuiltInBackupService service;
        std::string error;
        ASSERT_TRUE(service.start(folder, error)) << error;
        EXPECT_EQ(service.baseURL().rfind("http://127.0.0.1:", 0), 0u);
        EXPECT_EQ(std::filesystem::status(folder).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all);

        const std::string thisDevice = platform::Device::current().uniqueIdentifier();
        ask(service, "registerdevice", thisDevice, "Ann's laptop");
        EXPECT_EQ(ask(service, "authorizationstatus", thisDevice), "authorized");
        ask(service, "registerdevice", "another-device", "Someone's laptop");
        EXPECT_EQ(ask(service, "authorizationstatus", "another-device"), "authorization-pending");
    }
    EXPECT_TRUE(fs::fileExists(fs::joinPath(folder, "backupd.sqlite")));
    fs::removeItem(parent);
}
