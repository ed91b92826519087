#include <gtest/gtest.h>

#include <thread>

#include <httplib.h>

#include "platform/base/FileSystem.h"
#include "platform/base/RunLoop.h"
#include "platform/net/FormRequest.h"
#include "platform/net/SilentSocket.h"
#include "support/TemporarySandbox.h"

using platform::net::FormRequest;
using platform::net::RequestError;
using vantrel::test::SilentSocket;
namespace fs = platform::fs;

namespace {

// An HTTP server on a free loopback port that records what it received.
class EchoServer {
public:
    EchoServer() {
        m_server.Post("/echo", [this](const httplib::Request& request, httplib::Response& response) {
            m_request = request;
            response.status = 404;
            response.set_header("Hash", "abc123");
            response.set_content("reply body", "text/plain");
        });
        m_server.Post(
            "/empty", [](const httplib::Request&, httplib::Response& response) { response.status = 200; });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::yield();
    }
    ~EchoServer() { stop(); }
    void stop() {
        m_server.stop();
        if (m_thread.joinable())
            m_thread.join();
    }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }
    const httplib::Request& lastRequest() const { return m_request; }

private:
    httplib::Server m_server;
    httplib::Request m_request;
    std::thread m_thread;
    int m_port {0};
};

// A port that was free a moment ago: connecting to it is refused.
std::string closedPortURL() {
    EchoServer server;
    const std::string url = server.url("/echo");
    server.stop();
    return url;
}

class FormRequestTest : public testing::Test {
protected:
    ~FormRequestTest() override { FormRequest::setTransferTimeouts(15, 60); }
    vantrel::test::TemporarySandbox m_sandbox;
    EchoServer m_server;
};

} // namespace

TEST_F(FormRequestTest, SendsUrlEncodedFieldsInOrderAndReadsEveryReply) {
    FormRequest request(m_server.url("/echo"));
    request.setPostValue("ann+x@example.com", "email");
    request.setPostValue("Jürgen's car & co", "deviceName");
    request.startSynchronous();

    // A 404 is a reply like any other: no transport error.
    EXPECT_FALSE(request.error());
    EXPECT_EQ(request.responseStatusCode(), 404);
    EXPECT_EQ(request.responseString(), "reply body");
    EXPECT_EQ(request.responseHeaders().at("hash"), "abc123");

    const auto& received = m_server.lastRequest();
    EXPECT_EQ(received.body, "email=ann%2Bx%40example.com&deviceName=J%C3%BCrgen%27s%20car%20%26%20co");
    EXPECT_EQ(received.get_header_value("Content-Type").rfind("application/x-www-form-urlencoded", 0), 0u);
    EXPECT_EQ(received.get_param_value("deviceName"), "Jürgen's car & co");
}

TEST_F(FormRequestTest, AttachedFileMakesAMultipartBodyWithNameAndType) {
    const std::string path = fs::joinPath(m_sandbox.root(), "com.quillon.vantrel.backup.zip");
    const char bytes[] = "PK\x03\x04 binary \0 data";
    const std::string content(bytes, sizeof bytes - 1);
    ASSERT_TRUE(fs::writeFileAtomically(path, content));

    FormRequest request(m_server.url("/echo"));
    request.setPostValue("ann@example.com", "email");
    request.setPostValue("0a1b", "hash");
    request.addFile(path, "file");
    request.startSynchronous();
    ASSERT_FALSE(request.error());

    const auto& received = m_server.lastRequest();
    EXPECT_EQ(received.get_header_value("Content-Type").rfind("multipart/form-data", 0), 0u);
    ASSERT_TRUE(received.has_file("file"));
    const auto part = received.get_file_value("file");
    EXPECT_EQ(part.filename, "com.quillon.vantrel.backup.zip");
    EXPECT_EQ(part.content_type, "application/zip");
    EXPECT_EQ(part.content, content);
    EXPECT_EQ(received.get_file_value("email").content, "ann@example.com");
    EXPECT_EQ(received.get_file_value("hash").content, "0a1b");
}

TEST_F(FormRequestTest, UnreadableFileFailsWithoutSending) {
    FormRequest request(m_server.url("/echo"));
    request.addFile(fs::joinPath(m_sandbox.root(), "missing.zip"), "file");
    request.startSynchronous();
    ASSERT_TRUE(request.error());
    EXPECT_EQ(request.error()->code, RequestError::Code::FileError);
    EXPECT_TRUE(m_server.lastRequest().path.empty());
}

TEST_F(FormRequestTest, DownloadGoesToTheFileOnlyWhenABodyArrived) {
    const std::string path = fs::joinPath(m_sandbox.root(), "download.zip");
    ASSERT_TRUE(fs::writeFileAtomically(path, "stale file of an earlier download"));

    FormRequest request(m_server.url("/echo"));
    request.setDownloadDestinationPath(path);
    request.startSynchronous();
    ASSERT_FALSE(request.error());
    EXPECT_EQ(fs::readFile(path), "reply body");
    EXPECT_TRUE(request.responseString().empty());

    FormRequest empty(m_server.url("/empty"));
    empty.setDownloadDestinationPath(path);
    empty.startSynchronous();
    ASSERT_FALSE(empty.error());
    EXPECT_EQ(empty.responseStatusCode(), 200);
    EXPECT_FALSE(fs::fileExists(path));

    FormRequest refused(closedPortURL());
    refused.setDownloadDestinationPath(path);
    refused.startSynchronous();
    EXPECT_TRUE(refused.error());
    EXPECT_FALSE(fs::fileExists(path));
    EXPECT_FALSE(fs::fileExists(path + ".download"));
}

TEST_F(FormRequestTest, AsynchronousHandlersRunOnceOnTheMainLoop) {
    int completions = 0;
    int failures = 0;
    bool onMain = false;
    auto request = FormRequest::make(m_server.url("/echo"));
    request->setCompletionHandler([&](FormRequest& reply) {
        ++completions;
        onMain = platform::RunLoop::main().isMainThread();
        EXPECT_EQ(reply.responseStatusCode(), 404);
    });
    request->setFailedHandler([&](FormRequest&) { ++failures; });
    request->startAsynchronous();
    request.reset(); // the transfer keeps itself alive
    ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return completions + failures > 0; }, 30));
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(failures, 0);
    EXPECT_TRUE(onMain);

    std::string description;
    auto refused = FormRequest::make(closedPortURL());
    refused->setCompletionHandler([&](FormRequest&) { ++completions; });
    refused->setFailedHandler([&](FormRequest& reply) {
        ++failures;
        description = reply.error()->localizedDescription;
    });
    refused->startAsynchronous();
    ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return failures > 0; }, 30));
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(description, "Could not connect to the server.");
    platform::RunLoop::main().waitForBackgroundThreads();
}

TEST_F(FormRequestTest, ServerThatNeverAnswersTimesOut) {
    FormRequest::setTransferTimeouts(15, 1);
    SilentSocket silent;
    FormRequest request(silent.url());
    request.setPostValue("x", "y");
    request.startSynchronous();
    ASSERT_TRUE(request.error());
    EXPECT_EQ(request.error()->code, RequestError::Code::TimedOut);
    EXPECT_EQ(request.error()->localizedDescription, "The request timed out.");
}
