#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/views/Application.h"
#include "platform/views/DemoScreens.h"
#include "platform/views/NavigationController.h"
#include "platform/views/Window.h"
#include "shell/PageHub.h"

namespace vantrel::test {

// The demonstration application (a list of cars that pushes a form) as the shell hosts
// it, with its lifecycle calls recorded.
class ShellDemoDelegate : public platform::views::ApplicationDelegate {
public:
    std::shared_ptr<EventLog> log {std::make_shared<EventLog>()};
    std::shared_ptr<DemoListViewController> list;
    std::shared_ptr<platform::views::NavigationController> navigation;
    std::shared_ptr<platform::views::Window> window;
    std::vector<std::string> calls;

    bool didFinishLaunchingWithOptions(platform::views::Application&, const platform::Dictionary&) override {
        list = std::make_shared<DemoListViewController>(log, std::vector<std::string> {"Civic", "Golf"});
        navigation = std::make_shared<platform::views::NavigationController>(list);
        window = std::make_shared<platform::views::Window>();
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        return true;
    }
    void applicationDidBecomeActive(platform::views::Application&) override { calls.push_back("active"); }
    void applicationWillResignActive(platform::views::Application&) override { calls.push_back("resign"); }
    void applicationDidEnterBackground(platform::views::Application&) override {
        calls.push_back("background");
    }
    void applicationWillEnterForeground(platform::views::Application&) override {
        calls.push_back("foreground");
    }
    void applicationWillTerminate(platform::views::Application&) override { calls.push_back("terminate"); }
};

// The server-sent events queued for a page, as (event, data).
inline std::vector<std::pair<std::string, nlohmann::json>> takeMessages(shell::PageHub& hub, int page) {
    std::vector<std::pair<std::string, nlohmann::json>> result;
    std::string message;
    while (hub.next(page, 0, message) == shell::PageHub::Wait::Message) {
        auto eventEnd = message.find('\n');
        std::string event = message.substr(7, eventEnd - 7);
        std::string data = message.substr(eventEnd + 7, message.size() - eventEnd - 9);
        result.emplace_back(event, nlohmann::json::parse(data));
    }
    return result;
}

inline std::vector<nlohmann::json> messagesNamed(
    const std::vector<std::pair<std::string, nlohmann::json>>& messages, const std::string& event) {
    std::vector<nlohmann::json> result;
    for (auto& [name, data] : messages) {
        if (name == event)
            result.push_back(data);
    }
    return result;
}

} // namespace vantrel::test
