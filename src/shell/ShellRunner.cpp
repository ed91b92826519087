#include "shell/ShellRunner.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <set>

#include "platform/base/Bundle.h"
#include "platform/base/RunLoop.h"
#include "platform/base/Sandbox.h"
#include "platform/views/Application.h"
#include "platform/views/ScrollView.h"
#include "shell/AccessPolicy.h"
#include "shell/PageHub.h"
#include "shell/Shell.h"
#include "shell/ShellServer.h"

namespace shell {

namespace {

// The machine's IPv4 addresses other than loopback, for the addresses to print.
std::vector<std::string> externalAddresses() {
    std::set<std::string> found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return {};
    for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(entry->ifa_addr)->sin_addr, text, sizeof text);
        if (!AccessPolicy::isLoopback(text))
            found.insert(text);
    }
    freeifaddrs(list);
    return {found.begin(), found.end()};
}

} // namespace

ShellRunner::ShellRunner() = default;

ShellRunner::~ShellRunner() {
    if (m_server)
        m_server->stop();
}

bool ShellRunner::start(const ShellOptions& options, std::string& error) {
    if (!options.dataDirectory.empty())
        platform::Sandbox::setRoot(options.dataDirectory);
    else
        platform::Sandbox::setRoot(platform::Sandbox::defaultRoot());
    m_listenAddress = options.listenAddress;
    m_publicURL = options.publicURL;
    m_hub = std::make_unique<PageHub>();
    m_shell = std::make_unique<Shell>(platform::views::Application::sharedApplication(), *m_hub);
    std::string resources = platform::Bundle::mainBundle().resourcePath();
    m_server = std::make_unique<ShellServer>(*m_shell, *m_hub, resources + "/web", resources + "/help");
    if (!m_server->bind(options.listenAddress, options.port, error, options.publicURL))
        return false;
    m_shell->setLocalBaseURL(localBaseURL());
    m_server->start();
    return true;
}

void ShellRunner::launch(const std::function<void()>& launchApplication) {
    platform::views::ScrollView::setFlicksGlide(true);
    m_shell->launch(launchApplication);
}

void ShellRunner::run() {
    platform::RunLoop& loop = platform::RunLoop::main();
    loop.setBeforeWaitingObserver([this] { m_shell->renderFramesIfTasksRan(); });
    loop.run();
    loop.setBeforeWaitingObserver(nullptr);
    m_server->stop();
    m_shell->terminate();
    loop.runUntilIdle();
    // The application's screens stop observing the notification center as they go; let them
    // go now, while everything they reach still exists, not among the process's static
    // objects at exit.
    platform::views::Application::sharedApplication().reset();
    loop.reset();
}

void ShellRunner::stop() {
    // Posted rather than only flagged: run() clears the flag when it starts, so a stop that
    // comes before the loop runs (a signal right after start) would be lost.
    platform::RunLoop& loop = platform::RunLoop::main();
    loop.post([&loop] { loop.stop(); });
    loop.stop();
}

int ShellRunner::port() const {
    return m_server ? m_server->port() : 0;
}

std::string ShellRunner::localBaseURL() const {
    std::string host = m_listenAddress;
    if (host == "0.0.0.0" || host == "::" || host.empty())
        host = "127.0.0.1";
    if (host.find(':') != std::string::npos)
        host = "[" + host + "]";
    return "http://" + host + ":" + std::to_string(port()) + "/";
}

std::vector<std::string> ShellRunner::addressesToOpen() const {
    std::vector<std::string> addresses;
    if (!m_publicURL.empty())
        addresses.push_back(m_server->publicAddressToOpen(m_publicURL));
    if (m_listenAddress == "0.0.0.0" || m_listenAddress == "::") {
        for (auto& address : externalAddresses())
            addresses.push_back(m_server->addressToOpen(address));
        addresses.push_back(m_server->addressToOpen("127.0.0.1"));
    } else {
        addresses.push_back(m_server->addressToOpen(m_listenAddress));
    }
    return addresses;
}

} // namespace shell
