#include "platform/views/WebView.h"

#include "platform/graphics/Context.h"
#include "platform/views/Application.h"

namespace platform::views {

WebView::WebView() {
    setBackgroundColor(Color::whiteColor());
}

WebView::WebView(Rect frame)
    : View(frame) {
    setBackgroundColor(Color::whiteColor());
}

bool WebView::start(const std::string& url, WebViewNavigationType type, bool record) {
    if (auto delegate = m_delegate.lock();
        delegate && !delegate->shouldStartLoadWithRequest(*this, url, type))
        return false;
    m_url = url;
    m_title.clear();
    m_loading = true;
    if (record) {
        if (!m_history.empty())
            m_history.resize(m_index + 1);
        m_history.push_back(url);
        m_index = m_history.size() - 1;
    }
    Application::sharedApplication().registerWebView(std::static_pointer_cast<WebView>(shared_from_this()));
    setNeedsDisplay();
    if (auto delegate = m_delegate.lock())
        delegate->webViewDidStartLoad(*this);
    return true;
}

void WebView::loadRequest(const std::string& url) {
    start(url, WebViewNavigationType::Other, true);
}

void WebView::reload() {
    if (!m_url.empty())
        start(m_url, WebViewNavigationType::Reload, false);
}

void WebView::stopLoading() {
    m_loading = false;
}

void WebView::goBack() {
    if (!canGoBack())
        return;
    if (start(m_history[m_index - 1], WebViewNavigationType::BackForward, false))
        --m_index;
}

void WebView::goForward() {
    if (!canGoForward())
        return;
    if (start(m_history[m_index + 1], WebViewNavigationType::BackForward, false))
        ++m_index;
}

Rect WebView::frameInWindow() const {
    return convertRectToView(bounds(), nullptr);
}

void WebView::hostDidFinishLoad(const std::string& title) {
    if (!m_loading)
        return;
    m_loading = false;
    m_title = title;
    setNeedsDisplay();
    if (auto delegate = m_delegate.lock())
        delegate->webViewDidFinishLoad(*this);
}

void WebView::hostDidFailLoad(const std::string& error) {
    if (!m_loading)
        return;
    m_loading = false;
    setNeedsDisplay();
    if (auto delegate = m_delegate.lock())
        delegate->didFailLoadWithError(*this, error);
}

bool WebView::hostWillNavigate(const std::string& url, WebViewNavigationType type) {
    return start(url, type, true);
}

void WebView::setFrame(Rect frame) {
    View::setFrame(frame);
    if (!m_url.empty())
        Application::sharedApplication().webContentDidChange();
}

void WebView::setHidden(bool hidden) {
    View::setHidden(hidden);
    if (!m_url.empty())
        Application::sharedApplication().webContentDidChange();
}

void WebView::didMoveToWindow() {
    if (!m_url.empty())
        Application::sharedApplication().webContentDidChange();
}

void WebView::drawRect(graphics::Context& context, Rect) {
    if (!m_loading)
        return;
    Rect b = bounds();
    context.setFillColor(Color::white(0.6));
    context.drawText("Loading\u2026", Rect(b.x(), b.midY() - 10, b.width(), 20),
        graphics::Font::systemFontOfSize(15), graphics::LineBreakMode::Clip, graphics::TextAlignment::Center);
}

} // namespace platform::views
