#pragma once

#include <memory>

#include <string>
#include <vector>

#include "platform/views/View.h"

namespace platform::views {

class WebView;

enum class WebViewNavigationType { LinkClicked, FormSubmitted, BackForward, Reload, FormResubmitted, Other };

// What a web view asks and tells its delegate. Every operation is optional.
class WebViewDelegate {
public:
    virtual ~WebViewDelegate() = default;
    virtual bool shouldStartLoadWithRequest(WebView&, const std::string& url, WebViewNavigationType type) {
        return true;
    }
    virtual void webViewDidStartLoad(WebView&) { }
    virtual void webViewDidFinishLoad(WebView&) { }
    virtual void didFailLoadWithError(WebView&, const std::string& error) { }
};

// Web content. The view itself only keeps the address, the history and the loading state;
// the host shows the content over the view's frame (Application::webViews lists the web
// views on screen) and reports back through the host calls below, as the page loads,
// fails or follows a link.
class WebView : public View {
public:
    WebView();
    explicit WebView(Rect frame);

    // Held weakly: one that has gone is not called.
    std::shared_ptr<WebViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<WebViewDelegate> delegate) { m_delegate = std::move(delegate); }

    // Starts loading `url` when the delegate agrees; the view must be held by a shared_ptr.
    void loadRequest(const std::string& url);
    void reload();
    void stopLoading();
    bool canGoBack() const { return m_index > 0; }
    bool canGoForward() const { return m_index + 1 < m_history.size(); }
    void goBack();
    void goForward();

    const std::string& url() const { return m_url; }
    bool isLoading() const { return m_loading; }
    // The page's title once loaded ("" until then).
    const std::string& title() const { return m_title; }
    bool scalesPageToFit() const { return m_scalesPageToFit; }
    void setScalesPageToFit(bool scales) { m_scalesPageToFit = scales; }
    // Where the host should show the content.
    Rect frameInWindow() const;

    // The host's side: the content finished loading or failed, or the user followed a link
    // inside it (answers whether the web view lets it happen).
    void hostDidFinishLoad(const std::string& title);
    void hostDidFailLoad(const std::string& error);
    bool hostWillNavigate(const std::string& url, WebViewNavigationType type);

    void drawRect(graphics::Context& context, Rect rect) override;
    void setFrame(Rect frame) override;
    void setHidden(bool hidden) override;

protected:
    void didMoveToWindow() override;

private:
    bool start(const std::string& url, WebViewNavigationType type, bool record);

    std::weak_ptr<WebViewDelegate> m_delegate;
    std::string m_url;
    std::string m_title;
    bool m_loading {false};
    bool m_scalesPageToFit {false};
    std::vector<std::string> m_history;
    size_t m_index {0};
};

} // namespace platform::views
