#include <gtest/gtest.h>

#include <future>
#include <map>
#include <thread>

#include <httplib.h>

#include "httpd/RawConnection.h"
#include "platform/graphics/Image.h"
#include "platform/views/Application.h"
#include "shell/Shell.h"
#include "shell/ShellRunner.h"
#include "shell/ShellServer.h"
#include "shell/ShellTestSupport.h"
#include "support/AppDriver.h"

using namespace vantrel::test;

namespace {

struct Reply {
    int status {0};
    std::string body;
    std::multimap<std::string, std::string> headers;
    std::string header(const std::string& name) const {
        auto it = headers.find(name);
        return it == headers.end() ? "" : it->second;
    }
};

Reply reply(const httplib::Result& result) {
    if (!result)
        return {};
    Reply r {result->status, result->body, {}};
    for (auto& [name, value] : result->headers)
        r.headers.emplace(name, value);
    return r;
}

// Runs the shell with the demonstration application on a free loopback port; `client`
// talks to it from another thread while the test's thread runs the main loop, then the
// shell stops.
class ShellServerTest : public testing::Test {
protected:
    // `beforeLaunch` runs on the main thread with the page served and the application not yet
    // launched.
    void start(const std::string& listen = "127.0.0.1", const std::string& publicURL = {},
        const std::function<void()>& beforeLaunch = {}) {
        shell::ShellOptions options;
        options.port = 0;
        options.listenAddress = listen;
        options.publicURL = publicURL;
        options.dataDirectory = driver.sandbox().root();
        std::string error;
        ASSERT_TRUE(runner.start(options, error)) << error;
        runner.launch([&] {
            if (beforeLaunch)
                beforeLaunch();
            auto& app = platform::views::Application::sharedApplication();
            app.setDelegate(delegate);
            app.launch();
        });
    }
    void runWith(const std::string& listen, const std::function<void(int port)>& client,
        const std::string& publicURL = {}) {
        ASSERT_NO_FATAL_FAILURE(start(listen, publicURL));
        std::thread thread([&] {
            client(runner.port());
            runner.stop();
        });
        runner.run();
        thread.join();
    }

    AppDriver driver;
    shell::ShellRunner runner;
    std::shared_ptr<ShellDemoDelegate> delegate {std::make_shared<ShellDemoDelegate>()};
};

} // namespace

TEST_F(ShellServerTest, ServesThePageTheFrameAndTakesTouches) {
    std::map<std::string, Reply> replies;
    runWith("127.0.0.1", [&](int port) {
        httplib::Client client("127.0.0.1", port);
        replies["page"] = reply(client.Get("/"));
        replies["script"] = reply(client.Get("/shell.js", {{"Accept-Encoding", "gzip, deflate, br;q=1"}}));
        replies["manifest"] = reply(client.Get("/manifest.webmanifest"));
        replies["frame"] = reply(client.Get("/frame.png"));
        replies["tap"] = reply(client.Post("/input",
            R"({"page":1,"events":[{"type":"down","x":22,"y":42},{"type":"up","x":22,"y":42}]})",
            "application/json"));
        replies["after"] = reply(client.Get("/frame.png"));
        int latest = std::stoi(replies["after"].header("X-Frame-Sequence"));
        replies["patches"] = reply(client.Get(
            ("/patches?scale=2&seqs=" + std::to_string(latest - 1) + "," + std::to_string(latest)).c_str()));
        replies["state"] = reply(client.Get("/state"));
    });
    EXPECT_EQ(replies["page"].status, 200);
    EXPECT_NE(replies["page"].body.find("<canvas id=\"screen\""), std::string::npos);
    EXPECT_NE(
        replies["page"].header("Content-Security-Policy").find("frame-ancestors 'none'"), std::string::npos);
    EXPECT_EQ(replies["script"].status, 200);
    EXPECT_EQ(replies["script"].header("Content-Type"), "text/javascript; charset=utf-8");
    EXPECT_EQ(replies["script"].header("Content-Encoding"), "gzip"); // not the slow Brotli
    EXPECT_NE(replies["script"].body.find("'use strict';"), std::string::npos);
    EXPECT_EQ(replies["manifest"].header("Content-Type"), "application/manifest+json");

    ASSERT_EQ(replies["frame"].status, 200);
    platform::graphics::Image frame = platform::graphics::Image::imageWithData(replies["frame"].body, 2);
    EXPECT_EQ(frame.pixelWidth(), 640);
    EXPECT_EQ(frame.pixelHeight(), 960);

    ASSERT_EQ(replies["tap"].status, 200);
    auto answer = nlohmann::json::parse(replies["tap"].body);
    EXPECT_EQ(std::to_string(answer["frame"].get<int>()), replies["after"].header("X-Frame-Sequence"));
    EXPECT_GT(answer["frame"].get<int>(), std::stoi(replies["frame"].header("X-Frame-Sequence")));
    EXPECT_NE(delegate->list->lastForm, nullptr);
    EXPECT_EQ(nlohmann::json::parse(replies["state"].body)["title"], "Vantrel");
    // The last two patches in one reply, each as its length and its PNG.
    ASSERT_EQ(replies["patches"].status, 200);
    const std::string& both = replies["patches"].body;
    size_t at = 0;
    for (int part = 0; part < 2; ++part) {
        ASSERT_GE(both.size(), at + 12);
        auto size = std::uint32_t(std::uint8_t(both[at])) << 24
            | std::uint32_t(std::uint8_t(both[at + 1])) << 16 | std::uint32_t(std::uint8_t(both[at + 2])) << 8
            | std::uint8_t(both[at + 3]);
        EXPECT_EQ(both.substr(at + 4, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        at += 4 + size;
    }
    EXPECT_EQ(at, both.size());
    // Stopping resigned and terminated the application.
    ASSERT_GE(delegate->calls.size(), 2u);
    EXPECT_EQ(delegate->calls.back(), "terminate");
}

TEST_F(ShellServerTest, RefusesForeignSitesAndMalformedMessagesBeforeTheApplicationSeesThem) {
    std::map<std::string, Reply> replies;
    runWith("127.0.0.1", [&](int port) {
        httplib::Client client("127.0.0.1", port);
        replies["rebound"] = reply(client.Get("/", {{"Host", "attacker.example:" + std::to_string(port)}}));
        replies["crossSite"] = reply(client.Post("/input", {{"Origin", "http://attacker.example"}},
            R"({"page":1,"events":[{"type":"down","x":22,"y":42},{"type":"up","x":22,"y":42}]})",
            "application/json"));
        // A good tap followed by a bad event: none of it is taken.
        replies["malformed"] = reply(client.Post("/input",
            R"({"page":1,"events":[{"type":"down","x":22,"y":42},{"type":"up","x":22,"y":4200}]})",
            "application/json"));
        replies["tooLong"] = reply(client.Post("/input", std::string(70 * 1024, ' '), "application/json"));
        replies["notJSON"] = reply(client.Post("/page", "visible", "text/plain"));
        replies["traversal"] = reply(client.Get("/..%2f..%2fetc/passwd"));
        replies["hidden"] = reply(client.Get("/.secret"));
        replies["scale"] = reply(client.Get("/frame.png?scale=9"));
        replies["patch"] = reply(client.Get("/patch?scale=2&seq=x"));
        replies["oldPatch"] = reply(client.Get("/patch?scale=2&seq=999"));
        replies["patches"] = reply(client.Get("/patches?scale=2&seqs=1,x"));
        replies["oldPatches"] = reply(client.Get("/patches?scale=2&seqs=1,999"));
        replies["noBackdropKey"] = reply(client.Get("/backdrop?scale=2"));
        replies["oldBackdrop"] = reply(client.Get("/backdrop?scale=2&key=0123"));
        replies["notPNG"] = reply(client.Post("/picture?id=1", "GIF89a....", "image/gif"));
        // Signature and an IHDR of 65536 x 65536 pixels; the CRC is left zero.
        static const char kHugeHeader[]
            = "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\x01\0\0\0\x01\0\0\x08\x02\0\0\0\0\0\0\0";
        std::string huge(kHugeHeader, sizeof kHugeHeader - 1);
        replies["hugePNG"] = reply(client.Post("/picture?id=1", huge, "image/png"));
        replies["noId"] = reply(client.Post("/picture", "", "image/png"));
    });
    EXPECT_EQ(replies["rebound"].status, 403);
    EXPECT_EQ(replies["crossSite"].status, 403);
    EXPECT_EQ(replies["malformed"].status, 400);
    EXPECT_NE(replies["malformed"].body.find("outside the screen"), std::string::npos);
    EXPECT_EQ(replies["tooLong"].status, 413);
    EXPECT_EQ(replies["notJSON"].status, 400);
    EXPECT_EQ(replies["traversal"].status, 404);
    EXPECT_EQ(replies["hidden"].status, 404);
    EXPECT_EQ(replies["scale"].status, 400);
    EXPECT_EQ(replies["patch"].status, 400);
    EXPECT_EQ(replies["oldPatch"].status, 404);
    EXPECT_EQ(replies["patches"].status, 400);
    EXPECT_EQ(replies["oldPatches"].status, 404);
    EXPECT_EQ(replies["noBackdropKey"].status, 400);
    EXPECT_EQ(replies["oldBackdrop"].status, 404);
    EXPECT_EQ(replies["notPNG"].status, 400);
    EXPECT_EQ(replies["hugePNG"].status, 400);
    EXPECT_EQ(replies["noId"].status, 400);
    // The add button was never pressed.
    EXPECT_EQ(delegate->list->lastForm, nullptr);
}

TEST_F(ShellServerTest, AnyOtherAddressWantsTheTokenAndKeepsItInACookie) {
    std::map<std::string, Reply> replies;
    std::string token;
    runWith("0.0.0.0", [&](int port) {
        std::string address = runner.addressesToOpen().back();
        token = address.substr(address.find("?token=") + 7);
        httplib::Client client("127.0.0.1", port);
        replies["none"] = reply(client.Get("/"));
        replies["wrong"] = reply(client.Get("/?token=0123"));
        replies["token"] = reply(client.Get(("/?token=" + token).c_str()));
        replies["cookie"] = reply(client.Get("/", {{"Cookie", "vantrel_token=" + token}}));
        replies["frame"] = reply(client.Get("/frame.png", {{"Cookie", "vantrel_token=" + token}}));
    });
    EXPECT_EQ(token.size(), 64u);
    EXPECT_EQ(replies["none"].status, 401);
    EXPECT_EQ(replies["wrong"].status, 401);
    EXPECT_EQ(replies["token"].status, 303);
    EXPECT_EQ(replies["token"].header("Location"), "/");
    EXPECT_NE(replies["token"].header("Set-Cookie").find("vantrel_token=" + token), std::string::npos);
    EXPECT_EQ(replies["cookie"].status, 200);
    EXPECT_EQ(replies["frame"].status, 200);
}

TEST_F(ShellServerTest, APublicAddressInFrontIsAcceptedWithTheToken) {
    std::map<std::string, Reply> replies;
    std::string printed;
    runWith(
        "127.0.0.1",
        [&](int port) {
            printed = runner.addressesToOpen().front();
            const std::string token = printed.substr(printed.find("?token=") + 7);
            httplib::Client client("127.0.0.1", port);
            // What the proxy passes on: the public host, the page's origin.
            const httplib::Headers proxied {
                {"Host", "car.example.org"}, {"Origin", "https://car.example.org"}};
            replies["no token"] = reply(client.Get("/", proxied));
            replies["token"] = reply(client.Get(("/?token=" + token).c_str(), proxied));
            httplib::Headers withCookie = proxied;
            withCookie.emplace("Cookie", "vantrel_token=" + token);
            replies["cookie"] = reply(client.Get("/state", withCookie));
            replies["other site"] = reply(client.Get("/state",
                {{"Host", "car.example.org"}, {"Origin", "https://evil.example"},
                    {"Cookie", "vantrel_token=" + token}}));
            replies["plain http"] = reply(client.Get("/state",
                {{"Host", "car.example.org"}, {"Origin", "http://car.example.org"},
                    {"Cookie", "vantrel_token=" + token}}));
        },
        "https://car.example.org");
    EXPECT_TRUE(printed.starts_with("https://car.example.org/?token=")) << printed;
    EXPECT_EQ(replies["no token"].status, 401) << "the proxy brings everyone: the token is needed";
    EXPECT_EQ(replies["token"].status, 303);
    EXPECT_EQ(replies["cookie"].status, 200);
    EXPECT_EQ(replies["other site"].status, 403);
    EXPECT_EQ(replies["plain http"].status, 403);
}

TEST_F(ShellServerTest, BodiesLargerThanTheirRouteTakesAreNotRead) {
    std::string reply413;
    std::string afterwards;
    runWith("127.0.0.1", [&](int port) {
        vantrel::test::RawConnection connection(port);
        // Announces 500 MB and sends none of it: the answer comes at once.
        connection.send("POST /input HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port)
            + "\r\nContent-Length: 500000000\r\n\r\n");
        reply413 = connection.readUntilClosed();
        httplib::Client client("127.0.0.1", port);
        afterwards = reply(client.Get("/state")).body;
    });
    EXPECT_TRUE(reply413.starts_with("HTTP/1.1 413")) << reply413.substr(0, 40);
    EXPECT_NE(afterwards.find("Vantrel"), std::string::npos);
}

TEST_F(ShellServerTest, ThePageLoadsWhileTheApplicationLaunches) {
    std::promise<Reply> page;
    Reply frame;
    std::thread thread;
    ASSERT_NO_FATAL_FAILURE(start("127.0.0.1", {}, [&] {
        thread = std::thread([&] {
            httplib::Client client("127.0.0.1", runner.port());
            page.set_value(reply(client.Get("/")));
            // Asked of the application before it has launched: answered once it has.
            frame = reply(client.Get("/frame.png"));
            runner.stop();
        });
        auto served = page.get_future();
        if (served.wait_for(std::chrono::seconds(10)) == std::future_status::ready)
            EXPECT_EQ(served.get().status, 200);
        else
            ADD_FAILURE() << "the page waited for the launch";
        EXPECT_TRUE(delegate->calls.empty());
    }));
    runner.run();
    thread.join();
    EXPECT_EQ(frame.status, 200);
    EXPECT_EQ(platform::graphics::Image::imageWithData(frame.body, 2).pixelWidth(), 640);
}

TEST_F(ShellServerTest, StoppingRightAfterTheStartDoesNotHang) {
    ASSERT_NO_FATAL_FAILURE(start());
    // As a signal 40 ms after start does: before the server's thread may listen, before
    // the main loop runs.
    runner.stop();
    runner.run();
    EXPECT_EQ(delegate->calls.back(), "terminate");
}

TEST(ShellServer, ASecondShellCannotTakeTheSamePort) {
    shell::PageHub hub;
    AppDriver driver;
    shell::Shell shell(platform::views::Application::sharedApplication(), hub);
    shell::ShellServer first(shell, hub, "", "");
    shell::ShellServer second(shell, hub, "", "");
    std::string error;
    ASSERT_TRUE(first.bind("127.0.0.1", 0, error)) << error;
    EXPECT_FALSE(second.bind("127.0.0.1", first.port(), error));
    EXPECT_NE(error.find("in use"), std::string::npos);
}
