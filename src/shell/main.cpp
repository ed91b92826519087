// vantrel: the application, shown in a web browser. It serves its page, prints the address
// to open and starts the application on the main loop; SIGINT, SIGTERM or SIGHUP (its
// terminal closed) stops it the way a phone closes an application (resign active, terminate)
// before it exits. Unless a separate backup service is named, it runs the backup service
// itself (BuiltInBackupService).

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <pthread.h>
#include <thread>

#include "app/VantrelMain.h"
#include "backup/BackupServiceClient.h"
#include "platform/base/Sandbox.h"
#include "shell/BuiltInBackupService.h"
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
    // Without a separate service (named here or in the environment) the application runs its own.
    const char* separateService = std::getenv("VANTREL_BACKUP_URL");
    const bool builtInService = !separateService || !*separateService;
    const std::string backupsFolder = options->backupsDirectory.empty()
        ? shell::BuiltInBackupService::defaultFolder()
        : options->backupsDirectory;
    if (builtInService) {
        const std::string dataRoot
            = options->dataDirectory.empty() ? platform::Sandbox::defaultRoot() : options->dataDirectory;
        if (auto problem = shell::BuiltInBackupService::problemWithFolder(backupsFolder, dataRoot)) {
            std::cerr << "vantrel: " << *problem << "\n";
            return 2;
        }
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

    shell::BuiltInBackupService backupService;
    shell::ShellRunner runner;
    if (!runner.start(*options, error)) {
        std::cerr << "vantrel: " << error << "\n";
        return 1;
    }
    Configuration::setHelpBaseURL(runner.localBaseURL());
    // Started here, once the data folder is chosen: it authorizes this device.
    if (builtInService) {
        std::string problem;
        if (backupService.start(backupsFolder, problem))
            BackupServiceClient::sharedClient().setBaseAddress(backupService.baseURL());
        else
            std::cerr << "vantrel: the built-in backup service is not available: " << problem << std::endl;
    }
    std::thread([&runner, stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        runner.stop();
    }).detach();

    std::cout << "Vantrel is running. Data: " << platform::Sandbox::root() << "\n";
    if (backupService.isRunning())
        std::cout << "Backups (built-in backup service): " << backupsFolder << "\n";
    else if (!builtInService)
        std::cout << "Backup service: " << separateService << "\n";
    for (auto& address : runner.addressesToOpen())
        std::cout << "Open " << address << " in a browser." << std::endl;
    std::cout << "Press Ctrl+C to stop." << std::endl;
    runner.launch([] { launchVantrel(); });
    runner.run();
    return 0;
}
