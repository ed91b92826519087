#include <gtest/gtest.h>

#include "shell/AccessPolicy.h"

using shell::AccessPolicy;
using Decision = AccessPolicy::Decision;

namespace {

AccessPolicy::Request request(std::optional<std::string> host,
    std::optional<std::string> origin = std::nullopt, std::optional<std::string> cookie = std::nullopt,
    std::optional<std::string> token = std::nullopt) {
    return {std::move(host), std::move(origin), std::move(cookie), std::move(token)};
}

} // namespace

TEST(AccessPolicy, LoopbackNeedsNoTokenButOnlyItsOwnHostNames) {
    AccessPolicy policy = AccessPolicy::forListenAddress("127.0.0.1", 8080);
    EXPECT_FALSE(policy.needsToken());
    EXPECT_EQ(policy.check(request("127.0.0.1:8080")), Decision::Allow);
    EXPECT_EQ(policy.check(request("localhost:8080")), Decision::Allow);
    EXPECT_EQ(policy.check(request("LOCALHOST:8080")), Decision::Allow);
    // DNS rebinding: a foreign name that resolves here.
    EXPECT_EQ(policy.check(request("attacker.example:8080")), Decision::ForbiddenHost);
    EXPECT_EQ(policy.check(request("127.0.0.1:8081")), Decision::ForbiddenHost);
    EXPECT_EQ(policy.check(request("127.0.0.1")), Decision::ForbiddenHost); // port 80
    EXPECT_EQ(policy.check(request(std::nullopt)), Decision::ForbiddenHost);
    EXPECT_EQ(policy.check(request("127.0.0.1:80x80")), Decision::ForbiddenHost);
    EXPECT_EQ(policy.check(request("[::1:8080")), Decision::ForbiddenHost);
}

TEST(AccessPolicy, OriginMustBeTheShellsOwn) {
    AccessPolicy policy = AccessPolicy::forListenAddress("127.0.0.1", 8080);
    EXPECT_EQ(policy.check(request("127.0.0.1:8080", "http://127.0.0.1:8080")), Decision::Allow);
    EXPECT_EQ(policy.check(request("127.0.0.1:8080", "http://localhost:8080")), Decision::Allow);
    EXPECT_EQ(policy.check(request("127.0.0.1:8080", "http://evil.example")), Decision::ForbiddenOrigin);
    EXPECT_EQ(policy.check(request("127.0.0.1:8080", "http://127.0.0.1:9999")), Decision::ForbiddenOrigin);
    EXPECT_EQ(policy.check(request("127.0.0.1:8080", "null")), Decision::ForbiddenOrigin);
    EXPECT_EQ(policy.check(request("127.0.0.1:8080", "file://")), Decision::ForbiddenOrigin);
}

TEST(AccessPolicy, OtherAddressesNeedTheTokenThenTheCookie) {
    AccessPolicy policy({"192.168.1.20", "phonehost"}, 8080, "a1b2c3");
    ASSERT_TRUE(policy.needsToken());
    EXPECT_EQ(policy.check(request("192.168.1.20:8080")), Decision::Unauthorized);
    EXPECT_EQ(policy.check(request("192.168.1.20:8080", {}, {}, "a1b2c3")), Decision::AllowAndSetCookie);
    EXPECT_EQ(policy.check(request("192.168.1.20:8080", {}, {}, "a1b2c4")), Decision::Unauthorized);
    EXPECT_EQ(policy.check(request("192.168.1.20:8080", {}, {}, "a1b2c")), Decision::Unauthorized);
    EXPECT_EQ(policy.check(request("PhoneHost:8080", {}, "theme=1; vantrel_token=a1b2c3")), Decision::Allow);
    EXPECT_EQ(policy.check(request("phonehost:8080", {}, "vantrel_token=wrong")), Decision::Unauthorized);
    EXPECT_EQ(policy.check(request("phonehost:8080", {}, "xvantrel_token=a1b2c3")), Decision::Unauthorized);
    // The token does not excuse a foreign host.
    EXPECT_EQ(policy.check(request("evil.example:8080", {}, {}, "a1b2c3")), Decision::ForbiddenHost);

    std::string cookie = policy.setCookieHeader();
    EXPECT_NE(cookie.find("vantrel_token=a1b2c3"), std::string::npos);
    EXPECT_NE(cookie.find("HttpOnly"), std::string::npos);
    EXPECT_NE(cookie.find("SameSite=Strict"), std::string::npos);
}

TEST(AccessPolicy, AnyAddressGetsAFreshRandomToken) {
    AccessPolicy first = AccessPolicy::forListenAddress("0.0.0.0", 8080);
    AccessPolicy second = AccessPolicy::forListenAddress("0.0.0.0", 8080);
    ASSERT_TRUE(first.needsToken());
    EXPECT_EQ(first.token().size(), 64u);
    EXPECT_EQ(first.token().find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_NE(first.token(), second.token());
    // The machine's own loopback names stay usable.
    EXPECT_TRUE(first.allowsHost("127.0.0.1:8080"));
    EXPECT_FALSE(first.allowsHost("attacker.example:8080"));
}

TEST(AccessPolicy, KnowsLoopbackAddresses) {
    EXPECT_TRUE(AccessPolicy::isLoopback("127.0.0.1"));
    EXPECT_TRUE(AccessPolicy::isLoopback("127.1.2.3"));
    EXPECT_TRUE(AccessPolicy::isLoopback("::1"));
    EXPECT_TRUE(AccessPolicy::isLoopback("localhost"));
    EXPECT_FALSE(AccessPolicy::isLoopback("0.0.0.0"));
    EXPECT_FALSE(AccessPolicy::isLoopback("192.168.0.1"));
    EXPECT_FALSE(AccessPolicy::isLoopback("128.0.0.1"));
}
