#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/RunLoop.h"
#include "platform/net/WebRequest.h"
#include "support/RedirectServer.h"

using platform::net::WebRequest;
using vantrel::test::RedirectServer;

namespace {

struct Outcome {
    bool completed {false};
    bool failed {false};
    std::vector<std::string> redirects;
};

// Starts the request with handlers that record what happens and runs the main loop until it
// has ended (the hops run on background threads; their answers arrive on the main loop).
Outcome run(const std::shared_ptr<WebRequest>& request, std::function<bool(const std::string&)> follow = {}) {
    Outcome outcome;
    if (follow) {
        request->setRedirectHandler([&outcome, follow](WebRequest&, const std::string& location) {
            outcome.redirects.push_back(location);
            return follow(location);
        });
    }
    request->setCompletionHandler([&outcome](WebRequest&) { outcome.completed = true; });
    request->setFailedHandler([&outcome](WebRequest&) { outcome.failed = true; });
    request->start();
    platform::RunLoop::main().runUntil([&] { return outcome.completed || outcome.failed; }, 20);
    return outcome;
}

} // namespace

TEST(WebRequest, FollowsRelativeAndAbsoluteRedirectsToTheEnd) {
    RedirectServer server;
    server.redirect("/start", "/middle");
    server.redirect("/middle", server.url("/end"));
    server.page("/end");

    auto request = WebRequest::make(server.url("/start"));
    Outcome outcome = run(request, [](const std::string&) { return true; });

    ASSERT_TRUE(outcome.completed);
    EXPECT_EQ(outcome.redirects, (std::vector<std::string> {server.url("/middle"), server.url("/end")}));
    EXPECT_EQ(request->url(), server.url("/end"));
    EXPECT_EQ(request->responseStatusCode(), 200);
    EXPECT_EQ(request->redirectCount(), 2);
    EXPECT_FALSE(request->error());
}

TEST(WebRequest, RefusingARedirectEndsTheRequestThereWithOtherSchemesPassedThrough) {
    RedirectServer server;
    server.redirect("/review", "itms-apps://store.example/app/vantrel?action=viewContentsUserReviews");

    auto request = WebRequest::make(server.url("/review"));
    Outcome outcome
        = run(request, [](const std::string& location) { return location.rfind("itms", 0) != 0; });

    ASSERT_TRUE(outcome.completed);
    ASSERT_EQ(outcome.redirects.size(), 1u);
    EXPECT_EQ(outcome.redirects[0], "itms-apps://store.example/app/vantrel?action=viewContentsUserReviews");
    EXPECT_EQ(request->responseStatusCode(), 302);
    EXPECT_EQ(server.requests(), 1);
}

TEST(WebRequest, FailsOnARefusedConnectionAnEndlessChainOrAnUnfollowableRedirect) {
    auto refused = WebRequest::make(vantrel::test::refusedURL());
    EXPECT_TRUE(run(refused).failed);
    EXPECT_TRUE(refused->error());

    RedirectServer server;
    server.redirect("/loop", "/loop");
    auto loop = WebRequest::make(server.url("/loop"));
    Outcome endless = run(loop, [](const std::string&) { return true; });
    EXPECT_TRUE(endless.failed);
    EXPECT_EQ(server.requests(), WebRequest::kMaximumRedirects + 1);

    server.redirect("/store", "itms://store.example/app");
    auto store = WebRequest::make(server.url("/store"));
    EXPECT_TRUE(run(store, [](const std::string&) { return true; }).failed);
}
