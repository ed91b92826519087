#pragma once

#include <memory>
#include <string>

#include "platform/views/ActivityIndicatorView.h"
#include "platform/views/NavigationBar.h"
#include "platform/views/Toolbar.h"
#include "platform/views/WebView.h"
#include "ui/ThemedViewController.h"

// A small web browser for one address (the user manual), shown modally: the page with its
// title and a spinner in the bar above, and back, forward and stop/reload buttons below.
// Closed by its Close button; leaving stops any load.
class WebBrowserViewController : public ThemedViewController, public platform::views::WebViewDelegate {
public:
    static constexpr const char* kLayoutName = "WebBrowserViewController";
    // The toolbar position of the stop/reload button.
    static constexpr size_t kStopRefreshPosition = 4;

    explicit WebBrowserViewController(std::string url);

    const std::string& url() const { return m_url; }
    const std::shared_ptr<platform::views::WebView>& browser() const { return m_browser; }
    // The item whose title shows the page title.
    platform::views::NavigationItem& titleBar() { return navigationItem(); }
    const std::shared_ptr<platform::views::Toolbar>& toolbar() const { return m_toolbar; }
    const std::shared_ptr<platform::views::NavigationBar>& navigationBar() const { return m_navigationBar; }
    const std::shared_ptr<platform::views::ActivityIndicatorView>& activityIndicator() const {
        return m_indicator;
    }
    void setOutlets(std::shared_ptr<platform::views::NavigationBar> bar,
        std::shared_ptr<platform::views::WebView> browser, std::shared_ptr<platform::views::Toolbar> toolbar);

    // Puts the Stop button (loading) or the Reload button at the stop/reload position.
    void syncStopRefreshButton(bool loading);
    void closeButtonPressed();
    void stopButtonPressed();
    void backButtonPressed();
    void forwardButtonPressed();
    void refreshButtonPressed();

    // Failures that only report a load the user (or the browser) stopped.
    static bool isCancellation(const std::string& error);

    void viewDidLoad() override;
    void viewWillDisappear(bool animated) override;

    void webViewDidStartLoad(platform::views::WebView& webView) override;
    void webViewDidFinishLoad(platform::views::WebView& webView) override;
    void didFailLoadWithError(platform::views::WebView& webView, const std::string& error) override;

private:
    void updateHistoryButtons();

    std::string m_url;
    std::shared_ptr<platform::views::NavigationBar> m_navigationBar;
    std::shared_ptr<platform::views::WebView> m_browser;
    std::shared_ptr<platform::views::Toolbar> m_toolbar;
    std::shared_ptr<platform::views::ActivityIndicatorView> m_indicator;
    bool m_stopRequested {false};
};
