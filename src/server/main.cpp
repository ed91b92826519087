// vantrel-backupd: a self-hostable backup service for Vantrel.
#include <csignal>
#include <pthread.h>
#include <thread>
#include <cstdlib>
#include <iostream>
#include <string>

#include "server/BackupServer.h"

namespace {

void usage(std::ostream& out) {
    out << "usage: vantrel-backupd [options]\n"
           "  --data DIR          where accounts and backups are kept\n"
           "                      (default $XDG_DATA_HOME/vantrel-backupd or "
           "~/.local/share/vantrel-backupd)\n"
           "  --listen ADDRESS    address to listen on (default 127.0.0.1)\n"
           "  --port N            port to listen on (default 8470)\n"
           "  --auto-authorize    authorize registrations at once instead of by link\n"
           "  --max-upload-mb N   largest backup accepted, in MiB (default 200)\n"
           "  --public-url URL    base of the authorization links written to the log\n";
}

std::string defaultDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        return std::string(xdg) + "/vantrel-backupd";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.local/share/vantrel-backupd";
    return "vantrel-backupd-data";
}

} // namespace

int main(int argc, char** argv) {
    server::BackupServerOptions options;
    options.dataFolder = defaultDataFolder();
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::cerr << "vantrel-backupd: " << argument << " needs a value\n";
                std::exit(2);
            }
            return argv[++i];
        };
        try {
            if (argument == "--data")
                options.dataFolder = value();
            else if (argument == "--listen")
                options.host = value();
            else if (argument == "--port")
                options.port = std::stoi(value());
            else if (argument == "--auto-authorize")
                options.autoAuthorize = true;
            else if (argument == "--max-upload-mb")
                options.maxUploadBytes = std::stoul(value()) * 1024 * 1024;
            else if (argument == "--public-url")
                options.publicURL = value();
            else if (argument == "--help" || argument == "-h") {
                usage(std::cout);
                return 0;
            } else {
                usage(std::cerr);
                return 2;
            }
        } catch (const std::logic_error&) {
            std::cerr << "vantrel-backupd: invalid value for " << argument << "\n";
            return 2;
        }
    }

    // The stop signals are taken by one thread, which may then stop the server safely
    // (blocked before any other thread starts, so they reach no other).
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    try {
        server::BackupServer backupServer(options);
        std::thread([&backupServer, stopSignals] {
            int signal = 0;
            sigwait(&stopSignals, &signal);
            backupServer.stop();
        }).detach();
        return backupServer.run() ? 0 : 1;
    } catch (const std::exception& error) {
        std::cerr << "vantrel-backupd: " << error.what() << "\n";
        return 1;
    }
}
