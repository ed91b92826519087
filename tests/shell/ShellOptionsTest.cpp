#include <gtest/gtest.h>

#include "shell/ShellOptions.h"

using shell::ShellOptions;

TEST(ShellOptions, DefaultsListenOnLoopbackPort8080) {
    std::string error;
    auto options = ShellOptions::parse({}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->port, 8080);
    EXPECT_EQ(options->listenAddress, "127.0.0.1");
    EXPECT_TRUE(options->dataDirectory.empty());
    EXPECT_TRUE(options->backupServiceURL.empty());
}

TEST(ShellOptions, ReadsEveryFlagInBothSpellings) {
    std::string error;
    auto options = ShellOptions::parse(
        {"--port", "0", "--listen=0.0.0.0", "--data", "/tmp/v", "--backup-service=https://backup.example/",
            "--public-url", "https://car.example.org"},
        error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->port, 0);
    EXPECT_EQ(options->listenAddress, "0.0.0.0");
    EXPECT_EQ(options->dataDirectory, "/tmp/v");
    EXPECT_EQ(options->backupServiceURL, "https://backup.example/");
    EXPECT_EQ(options->publicURL, "https://car.example.org");
}

TEST(ShellOptions, RefusesMalformedArguments) {
    const std::vector<std::vector<std::string>> cases = {
        {"--port"},
        {"--port", "80x"},
        {"--port", "65536"},
        {"--port", "-1"},
        {"--listen", ""},
        {"--listen", "1.2.3.4/8"},
        {"--data="},
        {"--backup-service", "ftp://x"},
        {"--backup-service", "http://"},
        {"--public-url", "car.example.org"},
        {"--public-url", "https://user@car.example.org"},
        {"--colour", "red"},
        {"serve"},
    };
    for (auto& arguments : cases) {
        std::string error;
        EXPECT_FALSE(ShellOptions::parse(arguments, error)) << arguments[0];
        EXPECT_FALSE(error.empty());
    }
}
