#include "screens/WebBrowserViewController.h"

#include <algorithm>
#include <cctype>

#include "platform/base/SharedFrom.h"
#include "platform/graphics/ImageContext.h"
#include "platform/views/AlertView.h"
#include "platform/views/Screen.h"
#include "ui/ThemedView.h"

using namespace platform::views;

namespace {

constexpr size_t kBackPosition = 0;
constexpr size_t kForwardPosition = 2;

// A white arrowhead for the history buttons, pointing left or right.
platform::graphics::Image arrowImage(bool left) {
    platform::graphics::ImageContext image({20, 20}, false, 0);
    platform::graphics::Context& context = image.context();
    context.setFillColor(Color::whiteColor());
    context.beginPath();
    if (left) {
        context.moveToPoint(4, 10);
        context.addLineToPoint(16, 3);
        context.addLineToPoint(16, 17);
    } else {
        context.moveToPoint(16, 10);
        context.addLineToPoint(4, 3);
        context.addLineToPoint(4, 17);
    }
    context.closePath();
    context.fillPath();
    return image.image();
}

void buildLayout(ViewController& controller) {
    auto& screen = static_cast<WebBrowserViewController&>(controller);
    // A modal screen covers the whole screen below the status bar.
    Rect bounds = Screen::mainScreen().applicationFrame();
    bounds.origin = {0, 0};
    auto background = std::make_shared<ThemedView>(bounds);
    background->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);

    auto bar = std::make_shared<NavigationBar>(Rect(0, 0, bounds.width(), NavigationBar::kHeight));
    bar->setAutoresizingMask(AutoresizingFlexibleWidth);
    background->addSubview(bar);

    auto browser = std::make_shared<WebView>(Rect(0, NavigationBar::kHeight, bounds.width(),
        bounds.height() - NavigationBar::kHeight - Toolbar::kHeight));
    browser->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    background->addSubview(browser);

    auto toolbar = std::make_shared<Toolbar>(
        Rect(0, bounds.height() - Toolbar::kHeight, bounds.width(), Toolbar::kHeight));
    toolbar->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleTopMargin);
    background->addSubview(toolbar);

    screen.setView(background);
    screen.setOutlets(bar, browser, toolbar);
}

} // namespace

WebBrowserViewController::WebBrowserViewController(std::string url)
    : ThemedViewController(kLayoutName, buildLayout)
    , m_url(std::move(url)) { }

void WebBrowserViewController::setOutlets(
    std::shared_ptr<NavigationBar> bar, std::shared_ptr<WebView> browser, std::shared_ptr<Toolbar> toolbar) {
    m_navigationBar = std::move(bar);
    m_browser = std::move(browser);
    m_toolbar = std::move(toolbar);
}

void WebBrowserViewController::viewDidLoad() {
    ThemedViewController::viewDidLoad();
    m_indicator = std::make_shared<ActivityIndicatorView>(ActivityIndicatorViewStyle::White);
    m_indicator->setHidesWhenStopped(true);
    titleBar().setRightBarButtonItem(std::make_shared<BarButtonItem>(m_indicator));
    auto close = std::make_shared<BarButtonItem>(
        BarButtonSystemItem::Done, action(&WebBrowserViewController::closeButtonPressed));
    close->setTitle("Close");
    titleBar().setLeftBarButtonItem(close);
    if (m_navigationBar)
        m_navigationBar->setItems(&titleBar(), nullptr, {});

    if (m_toolbar) {
        auto space = [] { return std::make_shared<BarButtonItem>(BarButtonSystemItem::FlexibleSpace); };
        auto back = std::make_shared<BarButtonItem>(arrowImage(true), BarButtonItemStyle::Plain,
            action(&WebBrowserViewController::backButtonPressed));
        auto forward = std::make_shared<BarButtonItem>(arrowImage(false), BarButtonItemStyle::Plain,
            action(&WebBrowserViewController::forwardButtonPressed));
        auto gap = std::make_shared<BarButtonItem>(BarButtonSystemItem::FixedSpace);
        gap->setWidth(24);
        m_toolbar->setItems(
            {back, gap, forward, space(), std::make_shared<BarButtonItem>(BarButtonSystemItem::Refresh)});
        syncStopRefreshButton(false);
        updateHistoryButtons();
    }

    if (m_browser) {
        m_browser->setBackgroundColor(Color::clear());
        m_browser->setOpaque(false);
        m_browser->setDelegate(platform::sharedFrom(this));
        m_browser->loadRequest(m_url);
    }
}

void WebBrowserViewController::viewWillDisappear(bool animated) {
    ThemedViewController::viewWillDisappear(animated);
    if (m_browser)
        m_browser->stopLoading();
}

void WebBrowserViewController::closeButtonPressed() {
    if (m_browser)
        m_browser->stopLoading();
    dismissModalViewControllerAnimated(true);
}

void WebBrowserViewController::backButtonPressed() {
    if (m_browser)
        m_browser->goBack();
    // The history moves once the load has started.
    updateHistoryButtons();
}

void WebBrowserViewController::forwardButtonPressed() {
    if (m_browser)
        m_browser->goForward();
    updateHistoryButtons();
}

void WebBrowserViewController::refreshButtonPressed() {
    if (m_browser)
        m_browser->reload();
}

void WebBrowserViewController::stopButtonPressed() {
    if (!m_browser)
        return;
    m_stopRequested = true;
    m_browser->stopLoading();
    // The page will not finish now: the bar shows it at rest.
    syncStopRefreshButton(false);
    if (m_indicator)
        m_indicator->stopAnimating();
}

void WebBrowserViewController::syncStopRefreshButton(bool loading) {
    if (!m_toolbar || m_toolbar->items().size() <= kStopRefreshPosition)
        return;
    std::vector<std::shared_ptr<BarButtonItem>> items = m_toolbar->items();
    if (loading) {
        items[kStopRefreshPosition] = std::make_shared<BarButtonItem>(
            BarButtonSystemItem::Stop, action(&WebBrowserViewController::stopButtonPressed));
    } else {
        items[kStopRefreshPosition] = std::make_shared<BarButtonItem>(
            BarButtonSystemItem::Refresh, action(&WebBrowserViewController::refreshButtonPressed));
    }
    m_toolbar->setItems(items);
}

void WebBrowserViewController::updateHistoryButtons() {
    if (!m_toolbar || m_toolbar->items().size() <= kForwardPosition)
        return;
    m_toolbar->items()[kBackPosition]->setEnabled(m_browser && m_browser->canGoBack());
    m_toolbar->items()[kForwardPosition]->setEnabled(m_browser && m_browser->canGoForward());
}

bool WebBrowserViewController::isCancellation(const std::string& error) {
    std::string lower = error;
    std::transform(
        lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return lower.find("-999") != std::string::npos || lower.find("cancel") != std::string::npos
        || lower.find("abort") != std::string::npos;
}

void WebBrowserViewController::webViewDidStartLoad(WebView&) {
    m_stopRequested = false;
    syncStopRefreshButton(true);
    titleBar().setTitle("Loading...");
    if (m_indicator)
        m_indicator->startAnimating();
    updateHistoryButtons();
}

void WebBrowserViewController::webViewDidFinishLoad(WebView& webView) {
    syncStopRefreshButton(false);
    if (m_indicator)
        m_indicator->stopAnimating();
    titleBar().setTitle(webView.title());
    updateHistoryButtons();
}

void WebBrowserViewController::didFailLoadWithError(WebView&, const std::string& error) {
    syncStopRefreshButton(false);
    titleBar().setTitle("");
    if (m_indicator)
        m_indicator->stopAnimating();
    updateHistoryButtons();
    if (m_stopRequested || isCancellation(error))
        return;
    auto alert = std::make_shared<AlertView>("Error",
        "Could not load the page. Please check if your internet connection is working.", nullptr, "OK");
    alert->show();
}
