#include <gtest/gtest.h>

#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"
#include "platform/views/Application.h"
#include "shell/Shell.h"
#include "shell/ShellTestSupport.h"
#include "support/AppDriver.h"

using namespace vantrel::test;
using platform::views::PickedFile;
namespace fs = platform::fs;

TEST(ShellFiles, AFileHandedOverIsTheOneDownloadAndAChosenFileAnswersTheLatestRequest) {
    AppDriver driver;
    shell::PageHub hub;
    auto& application = platform::views::Application::sharedApplication();
    shell::Shell shell(application, hub);
    auto delegate = std::make_shared<ShellDemoDelegate>();
    shell.launch([&] {
        application.setDelegate(delegate);
        application.launch();
    });
    EXPECT_FALSE(shell.saveFile("/nonexistent", "x.zip", "application/zip")) << "no page to take it";
    const int page = *hub.open();
    shell.pageOpened(page);
    takeMessages(hub, page);

    const std::string path = fs::joinPath(platform::Sandbox::temporaryDirectory(), "archive");
    fs::createDirectories(platform::Sandbox::temporaryDirectory());
    ASSERT_TRUE(fs::writeFileAtomically(path, "PK first"));
    ASSERT_TRUE(shell.saveFile(path, "vantrel-backup-2011-03-01.zip", "application/zip"));
    fs::writeFileAtomically(path, "PK second");
    ASSERT_TRUE(shell.saveFile(path, "vantrel-backup-2011-03-02.zip", "application/zip"));
    auto offers = messagesNamed(takeMessages(hub, page), "download");
    ASSERT_EQ(offers.size(), 2u);
    EXPECT_EQ(offers[1]["name"], "vantrel-backup-2011-03-02.zip");
    const std::string url = offers[1]["url"];
    ASSERT_EQ(url.rfind("/download/", 0), 0u);
    // Only the latest is kept, as it was when handed over.
    EXPECT_FALSE(shell.download(std::stoi(std::string(offers[0]["url"]).substr(10))));
    auto latest = shell.download(std::stoi(url.substr(10)));
    ASSERT_TRUE(latest);
    EXPECT_EQ(*latest->bytes, "PK second");
    EXPECT_EQ(latest->contentType, "application/zip");

    std::vector<std::optional<PickedFile>> answers;
    shell.pickFile({".zip"}, [&](std::optional<PickedFile> file) { answers.push_back(file); });
    shell.pickFile({".zip"}, [&](std::optional<PickedFile> file) { answers.push_back(file); });
    auto requests = messagesNamed(takeMessages(hub, page), "pickFile");
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1]["accept"], ".zip");
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_FALSE(answers[0]) << "a new request cancels the one waiting";

    auto late = shell::FileTransfers::store("late");
    ASSERT_TRUE(late);
    shell.handleFile(requests[0]["id"], PickedFile {*late, "late.zip"});
    EXPECT_FALSE(fs::fileExists(*late)) << "nobody waits for it";
    auto chosen = shell::FileTransfers::store("PK chosen");
    shell.handleFile(requests[1]["id"],
        PickedFile {*chosen, shell::FileTransfers::displayName("C:\\x/../my\x01 backup.zip")});
    ASSERT_EQ(answers.size(), 2u);
    ASSERT_TRUE(answers[1]);
    EXPECT_EQ(fs::readFile(answers[1]->path), "PK chosen");
    EXPECT_EQ(answers[1]->name, "my backup.zip");
    shell.terminate();
}
