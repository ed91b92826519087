// vantrel: the application, shown in a web browser. It starts the application on the main
// loop, serves its page and prints the address to open; SIGINT, SIGTERM or SIGHUP (its
// terminal closed) stops it the way a phone closes an application (resign active, terminate)
// before it exits.

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <pthread.h>
#include <thread>

#include "app/VantrelMain.h"
#include "platform/base/Sandbox.h"
#include "shell/ShellOptions.h"
#include "shell/ShellRunner.h"
#include "ui/Configuration.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    auto options = shell::ShellOptions::parse(arguments, error);
    if (!options) {
        std::cerr << "vantrel: " << error << "\n\n" << shell::ShellOptions::usage();
        return 2;
    }
    if (options->showHelp) {
        std::cout << shell::ShellOptions::usage();
        return 0;
    }
    if (!options->backupServiceURL.empty()) {
        std::string url = options->backupServiceURL;
        if (url.back() != '/')
            url += '/';
        setenv("VANTREL_BACKUP_URL", url.c_str(), 1);
    }

    // A closed page must not end the process; the stop signals are taken by one thread
    // (blocked before any other thread starts, so they reach no other).
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    shell::ShellRunner runner;
    bool started = runner.start(
        *options,
        [&runner] {
            Configuration::setHelpBaseURL(runner.localBaseURL());
            launchVantrel();
        },
        error);
    if (!started) {
        std::cerr << "vantrel: " << error << "\n";
        return 1;
    }
    std::thread([&runner, stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        runner.stop();
    }).detach();

    std::cout << "Vantrel is running. Data: " << platform::Sandbox::root() << "\n";
    for (auto& address : runner.addressesToOpen())
        std::cout << "Open " << address << " in a browser." << std::endl;
    std::cout << "Press Ctrl+C to stop." << std::endl;
    runner.run();
    return 0;
}
