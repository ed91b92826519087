#pragma once

#include <functional>
#include <memory>
#include <string>

#include "shell/ShellOptions.h"

namespace shell {

class PageHub;
class Shell;
class ShellServer;

// One run of the shell: the sandbox, the server, the application launched into it, and the
// main loop that renders a frame after every burst of events until stop().
class ShellRunner {
public:
    ShellRunner();
    ~ShellRunner();
    ShellRunner(const ShellRunner&) = delete;
    ShellRunner& operator=(const ShellRunner&) = delete;

    // Main thread. Switches to the data folder, binds the address and serves the page.
    // Answers false with `error` when the address cannot be bound.
    bool start(const ShellOptions& options, std::string& error);
    // Main thread, after start(): launches the application with `launchApplication` (which
    // sets the application's delegate and calls Application::launch). A browser may load the
    // page meanwhile: the start costs the browser's loading and the launch at once, not one
    // after the other, and what the page asks of the application waits for the main loop.
    void launch(const std::function<void()>& launchApplication);
    // Main thread: runs the main loop until stop(), then terminates the application
    // (resign active, terminate), closes the server and releases the application.
    void run();
    // Any thread.
    void stop();

    int port() const;
    // The addresses a person can open (with the access token when one is needed).
    std::vector<std::string> addressesToOpen() const;
    // The address under which the shell serves its own pages ("http://127.0.0.1:8080/").
    std::string localBaseURL() const;

    Shell& shell() { return *m_shell; }

private:
    std::string m_listenAddress;
    std::string m_publicURL;
    std::unique_ptr<PageHub> m_hub;
    std::unique_ptr<Shell> m_shell;
    std::unique_ptr<ShellServer> m_server;
};

} // namespace shell
