#include "promotion/iTunesHelper.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "QLCoreLibrary/UserDefaultsExtensions.h"
#include "platform/base/Bundle.h"
#include "platform/base/Clock.h"
#include "platform/base/UserDefaults.h"
#include "platform/net/WebRequest.h"
#include "platform/views/Application.h"
#include "ui/ViewExtensions.h"

using platform::UserDefaults;

namespace {

bool g_reviewRequestVisible = false;
std::string g_mobileBaseURL;
// The helpers at work (a prompt on screen, a redirect chain under way); each leaves when
// its work ends.
std::vector<std::shared_ptr<iTunesHelper>> g_helpers;

double now() {
    return platform::Clock::now().timeIntervalSinceReferenceDate();
}

std::string shortIdentifier() {
    std::string identifier = platform::Bundle::mainBundle().identifier();
    size_t dot = identifier.rfind('.');
    return dot == std::string::npos ? identifier : identifier.substr(dot + 1);
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

} // namespace

bool iTunesHelper::shouldAskForReview() {
    if (g_reviewRequestVisible)
        return false;
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    if (defaults.boolForKey(kNotInterestedKey))
        return false;
    if (defaults.stringForKey(kReviewedForVersionKey) == platform::Bundle::mainBundle().version())
        return false;
    if (keyExists(defaults, kNextRequestKey))
        return now() >= defaults.doubleForKey(kNextRequestKey);
    defaults.setDouble(kNextRequestKey, now() + kRequestInterval);
    return false;
}

void iTunesHelper::askForReview() {
    if (!shouldAskForReview())
        return;
    g_reviewRequestVisible = true;
    auto helper = std::make_shared<iTunesHelper>();
    g_helpers.push_back(helper);
    auto alert = std::make_shared<platform::views::AlertView>(
        "Like " + platform::Bundle::mainBundle().displayName() + "?",
        "If so, please rate this version with 5 stars on the App Store so we can keep the free updates "
        "coming.",
        helper, "Remind me later", std::vector<std::string> {"Yes, rate it!", "Don't ask again"});
    alert->show();
}

bool iTunesHelper::isReviewRequestVisible() {
    return g_reviewRequestVisible;
}

void iTunesHelper::didDismissWithButtonIndex(platform::views::AlertView& alert, int buttonIndex) {
    auto keep = shared_from_this();
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    if (buttonIndex == 1) {
        defaults.setString(kReviewedForVersionKey, platform::Bundle::mainBundle().version());
        openURL(appReviewsURL());
    } else if (buttonIndex == 2) {
        defaults.setBool(kNotInterestedKey, true);
    } else if (buttonIndex == 0) {
        defaults.setDouble(kNextRequestKey, now() + kRequestInterval);
    }
    // The answer must hold even if the application never resigns active again.
    defaults.synchronize();
    g_reviewRequestVisible = false;
    release();
}

void iTunesHelper::openReviews() {
    openURL(appReviewsURL());
}

void iTunesHelper::openAppPage() {
    openURL(appPageURL());
}

void iTunesHelper::openAppStore() {
    openURL(appStoreURL());
}

void iTunesHelper::openURL(const std::string& url) {
    if (!startsWith(url, "http://") && !startsWith(url, "https://")) {
        platform::views::Application::sharedApplication().openURL(url);
        return;
    }
    auto helper = std::make_shared<iTunesHelper>();
    g_helpers.push_back(helper);
    helper->follow(url);
}

void iTunesHelper::follow(const std::string& url) {
    saveURL(url);
    setBusy(true, std::string("Connecting to iTunes"));
    m_request = platform::net::WebRequest::make(url);
    auto self = shared_from_this();
    m_request->setRedirectHandler([self](platform::net::WebRequest&, const std::string& location) {
        self->saveURL(location);
        // A store address is where the chain was meant to lead: stop there.
        return !startsWith(location, "itms");
    });
    m_request->setCompletionHandler([self](platform::net::WebRequest&) { self->requestEnded(); });
    m_request->setFailedHandler([self](platform::net::WebRequest&) { self->requestFailed(); });
    m_request->start();
}

void iTunesHelper::requestEnded() {
    setBusy(false);
    if (m_url.find("viewContentsUserReviews") != std::string::npos) {
        UserDefaults& defaults = UserDefaults::standardUserDefaults();
        defaults.setString(kReviewedForVersionKey, platform::Bundle::mainBundle().version());
        defaults.synchronize();
    }
    std::string url = std::exchange(m_url, {});
    platform::views::Application::sharedApplication().openURL(url);
    release();
}

void iTunesHelper::requestFailed() {
    setBusy(false);
    auto alert = std::make_shared<platform::views::AlertView>(
        "Connection Failed!", "Could not connect to iTunes. Please try again later.", nullptr, "OK");
    alert->show();
    release();
}

void iTunesHelper::release() {
    m_request.reset();
    auto self = shared_from_this();
    g_helpers.erase(std::remove(g_helpers.begin(), g_helpers.end(), self), g_helpers.end());
}

std::string iTunesHelper::appReviewsURL() {
    return mobileBaseURL() + "review/" + shortIdentifier();
}

std::string iTunesHelper::appPageURL() {
    return mobileBaseURL() + "appstore/" + shortIdentifier();
}

std::string iTunesHelper::appStoreURL() {
    return mobileBaseURL() + "appstore";
}

std::string iTunesHelper::mobileBaseURL() {
    return g_mobileBaseURL.empty() ? kDefaultMobileBaseURL : g_mobileBaseURL;
}

void iTunesHelper::setMobileBaseURL(const std::string& url) {
    g_mobileBaseURL = url;
    if (!g_mobileBaseURL.empty() && g_mobileBaseURL.back() != '/')
        g_mobileBaseURL += '/';
}

void iTunesHelper::reset() {
    for (const auto& helper : g_helpers) {
        if (helper->m_request)
            helper->m_request->cancel();
    }
    g_helpers.clear();
    g_reviewRequestVisible = false;
}
