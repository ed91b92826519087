#include "shell/ShellOptions.h"

#include <charconv>

#include "shell/AccessPolicy.h"

namespace shell {

namespace {

bool isHTTPAddress(const std::string& url) {
    return (url.starts_with("http://") && url.size() > 7) || (url.starts_with("https://") && url.size() > 8);
}

} // namespace

std::optional<ShellOptions> ShellOptions::parse(
    const std::vector<std::string>& arguments, std::string& error) {
    ShellOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string flag = arguments[i];
        std::optional<std::string> value;
        if (auto equals = flag.find('='); flag.starts_with("--") && equals != std::string::npos) {
            value = flag.substr(equals + 1);
            flag = flag.substr(0, equals);
        }
        if (flag == "--help" || flag == "-h") {
            options.showHelp = true;
            continue;
        }
        if (flag != "--port" && flag != "--listen" && flag != "--data" && flag != "--backup-service"
            && flag != "--public-url") {
            error = "unknown option " + flag;
            return std::nullopt;
        }
        if (!value) {
            if (i + 1 >= arguments.size()) {
                error = flag + " needs a value";
                return std::nullopt;
            }
            value = arguments[++i];
        }
        if (flag == "--port") {
            int port = -1;
            auto [end, ec] = std::from_chars(value->data(), value->data() + value->size(), port);
            if (ec != std::errc() || end != value->data() + value->size() || port < 0 || port > 65535) {
                error = "--port takes a number from 0 to 65535 (0 picks a free port)";
                return std::nullopt;
            }
            options.port = port;
        } else if (flag == "--listen") {
            if (value->empty() || value->find_first_of(" /") != std::string::npos) {
                error = "--listen takes an address such as 127.0.0.1 or 0.0.0.0";
                return std::nullopt;
            }
            options.listenAddress = *value;
        } else if (flag == "--data") {
            if (value->empty()) {
                error = "--data takes a folder";
                return std::nullopt;
            }
            options.dataDirectory = *value;
        } else if (flag == "--public-url") {
            if (!AccessPolicy::originOf(*value)) {
                error = "--public-url takes the https:// address that a proxy in front of the shell serves";
                return std::nullopt;
            }
            options.publicURL = *value;
        } else {
            if (!isHTTPAddress(*value)) {
                error = "--backup-service takes an http:// or https:// address";
                return std::nullopt;
            }
            options.backupServiceURL = *value;
        }
    }
    return options;
}

std::string ShellOptions::usage() {
    return "usage: vantrel [--port N] [--listen ADDRESS] [--data DIR] [--backup-service URL]\n"
           "               [--public-url URL]\n"
           "\n"
           "Runs Vantrel and shows it in a web browser.\n"
           "  --port N                 port to listen on (default 8080; 0 picks a free one)\n"
           "  --listen ADDRESS         address to listen on (default 127.0.0.1); any other\n"
           "                           address needs the access token printed at start-up\n"
           "  --data DIR               the data folder (default $VANTREL_HOME, else\n"
           "                           $XDG_DATA_HOME/vantrel, else ~/.local/share/vantrel)\n"
           "  --backup-service URL     base address of the backup service\n"
           "  --public-url URL         the address of an HTTPS proxy in front of the shell\n"
           "                           (e.g. https://car.example.org): requests for it are\n"
           "                           accepted, with the access token printed at start-up\n";
}

} // namespace shell
