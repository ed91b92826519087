#pragma once

#include <optional>
#include <string>
#include <vector>

namespace shell {

// The command line of `vantrel`.
struct ShellOptions {
    static constexpr int kDefaultPort = 8080;

    int port {kDefaultPort};
    std::string listenAddress {"127.0.0.1"};
    // The sandbox root; empty means the platform's default root.
    std::string dataDirectory;
    // Base address of the backup service; empty leaves the application's own default.
    std::string backupServiceURL;
    // The address of an HTTPS proxy in front of the shell ("https://car.example.org"): its
    // origin is accepted, and the access token is always needed.
    std::string publicURL;
    bool showHelp {false};

    // Parses the arguments after the program name. Answers none and sets `error` for an
    // unknown flag, a missing or malformed value.
    static std::optional<ShellOptions> parse(const std::vector<std::string>& arguments, std::string& error);
    static std::string usage();
};

} // namespace shell
