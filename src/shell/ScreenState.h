#pragma once

#include <memory>
#include <string>
#include <vector>

namespace platform::views {
class Application;
class WebView;
} // namespace platform::views

namespace shell {

// What the pages are told besides the pixels, as one JSON message: the title and badge, the
// screen's size and whether the screen on top turns, the keyboard an entry wants (and where
// the entry is), the web content to lay over the screen, and the texts on screen with where
// they show (read aloud by screen readers from the page, and used by scripts to find what
// to tap). Main thread only.
class ScreenState {
public:
    explicit ScreenState(platform::views::Application& application);

    // `localBaseURL`: addresses beginning with it are served by the shell itself.
    std::string build(const std::string& localBaseURL);

    // The web view the pages know by `id` (from the message), or none.
    platform::views::WebView* webViewWithID(int id) const;

    // The inputmode a page's text input takes for a keyboard type.
    static std::string inputModeFor(int keyboardType);
    // The address a page loads for web content at `url` (local addresses become paths).
    static std::string pageAddressFor(const std::string& localBaseURL, const std::string& url);

private:
    struct WebContent {
        int id {0};
        std::weak_ptr<platform::views::WebView> view;
        std::string url;
        bool loading {false};
        int generation {0};
    };

    platform::views::Application& m_application;
    std::vector<WebContent> m_webContents;
    int m_nextWebContent {1};
};

} // namespace shell
