#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "httpd/GuardedServer.h"
#include "httpd/RawConnection.h"

using vantrel::test::RawConnection;
using namespace std::chrono_literals;

namespace {

// Limits as the servers have them, with times short enough for a test.
httpd::ConnectionLimits testLimits() {
    httpd::ConnectionLimits limits;
    limits.maxConnections = 12;
    limits.maxConnectionsPerAddress = 10;
    limits.idleTimeout = 300ms;
    limits.headerTimeout = 300ms;
    limits.bodyTimeout = 300ms;
    limits.maxHeaderBytes = 4096;
    limits.maxHeaderCount = 20;
    return limits;
}

class GuardedServerTest : public testing::Test {
protected:
    GuardedServerTest() : GuardedServerTest(testLimits()) { }
    explicit GuardedServerTest(const httpd::ConnectionLimits& limits) : m_server(limits) {
        m_server.Get("/hello", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("hello", "text/plain");
        });
        m_server.Post("/echo", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content(std::to_string(request.body.size()), "text/plain");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_server.start();
    }

    int get(const char* path = "/hello") {
        httplib::Client client("127.0.0.1", m_port);
        client.set_connection_timeout(2);
        client.set_read_timeout(2);
        auto result = client.Get(path);
        return result ? result->status : -1;
    }

    httpd::GuardedServer m_server;
    int m_port {0};
};

// Connections held without a request stay open for the idle time, long enough here for a busy
// machine to admit them all before the first is cut.
class GuardedServerCountingTest : public GuardedServerTest {
protected:
    GuardedServerCountingTest() : GuardedServerTest(limits()) { }
    static httpd::ConnectionLimits limits() {
        httpd::ConnectionLimits limits = testLimits();
        limits.idleTimeout = 3s;
        return limits;
    }
};

} // namespace

TEST_F(GuardedServerTest, SlowClientsAreCutWithoutHoldingUpOthers) {
    // Eight clients that send part of a request and then nothing (as one sending a byte every
    // few seconds looks between its bytes).
    std::vector<std::unique_ptr<RawConnection>> slow;
    for (int i = 0; i < 8; ++i) {
        slow.push_back(std::make_unique<RawConnection>(m_port));
        ASSERT_TRUE(slow.back()->send("GET /hello HTTP/1.1\r\nHost: x\r\nX-Slow: "));
    }
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(get(), 200) << "served while the slow ones wait";
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
    for (auto& connection : slow)
        EXPECT_TRUE(connection->readUntilClosed().starts_with("HTTP/1.1 400")) << "cut at the header time";

    // A connection that never sends anything is closed after the idle time.
    RawConnection idle(m_port);
    EXPECT_EQ(idle.readUntilClosed(), "");
}

TEST_F(GuardedServerTest, HeaderFloodsAndOversizedLinesAreRefused) {
    RawConnection flood(m_port);
    std::string request = "GET /hello HTTP/1.1\r\nHost: x\r\n";
    for (int i = 0; i < 40; ++i)
        request += "X-Flood-" + std::to_string(i) + ": a\r\n";
    flood.send(request + "\r\n");
    EXPECT_TRUE(flood.readUntilClosed().starts_with("HTTP/1.1 400"));

    RawConnection huge(m_port);
    huge.send("GET /hello HTTP/1.1\r\nHost: x\r\nX-Big: " + std::string(8000, 'a'));
    const std::string reply = huge.readUntilClosed();
    EXPECT_TRUE(reply.empty() || reply.starts_with("HTTP/1.1 400")) << reply.substr(0, 40);

    // Within the limits all is well, on the same server.
    RawConnection fine(m_port);
    fine.send("GET /hello HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    const std::string answer = fine.readUntilClosed();
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 200")) << answer.substr(0, 40);
    EXPECT_TRUE(answer.ends_with("hello"));
}

TEST_F(GuardedServerCountingTest, ABodyMustArriveInTimeAndConnectionsAreCounted) {
    const auto openBecomes = [&](std::size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (m_server.openConnections() != count && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
        return m_server.openConnections() == count;
    };
    RawConnection stalled(m_port);
    stalled.send("POST /echo HTTP/1.1\r\nHost: x\r\nContent-Length: 1000\r\n\r\nabc");
    const std::string reply = stalled.readUntilClosed();
    EXPECT_FALSE(reply.starts_with("HTTP/1.1 200")) << "a body that stops is not taken";
    // Counted until its thread ends, a moment after the close.
    ASSERT_TRUE(openBecomes(0));

    // Up to the limit per address, then a short refusal instead of a queue.
    std::vector<std::unique_ptr<RawConnection>> held;
    for (int i = 0; i < 10; ++i)
        held.push_back(std::make_unique<RawConnection>(m_port));
    ASSERT_TRUE(openBecomes(10));
    RawConnection refused(m_port);
    EXPECT_TRUE(refused.readUntilClosed().starts_with("HTTP/1.1 503"));
    held.clear();
    // Their threads end as they close; then the address may connect again.
    ASSERT_TRUE(openBecomes(0));
    EXPECT_EQ(get(), 200);
}

TEST(GuardedServer, StopsAtAnyMomentAlsoRightAfterStart) {
    for (int round = 0; round < 30; ++round) {
        httpd::GuardedServer server(testLimits());
        ASSERT_GT(server.bind_to_any_port("127.0.0.1"), 0);
        server.start();
        if (round % 3 == 1)
            RawConnection(0); // a little work between start and stop
        server.shutdown(); // must return, whether the server listened yet or not
        server.shutdown();
        EXPECT_FALSE(server.is_running());
    }
}
