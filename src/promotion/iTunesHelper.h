#pragma once

#include <memory>
#include <string>

#include "platform/views/AlertView.h"

namespace platform::net {
class WebRequest;
}

// The rating prompt and the store links.
//
// The prompt asks the user to rate the application at most once every three days, and
// never again once they rated the running build or declined for good; its state lives in
// the per-user store under the keys below. Store pages are reached through addresses on the
// maker's mobile site that redirect into the store: openURL follows those redirects itself
// (behind the busy overlay) and hands the final store address to the platform.
//
// A helper object exists only while one prompt shows (it is the alert's delegate) or while
// one redirect chain is followed; it keeps itself alive until then. Main thread only.
class iTunesHelper : public platform::views::AlertViewDelegate,
                     public std::enable_shared_from_this<iTunesHelper> {
public:
    static constexpr const char* kNotInterestedKey = "iTunesHelperNotInterested"; // bool
    static constexpr const char* kReviewedForVersionKey = "iTunesHelperReviewedForVersion"; // text
    static constexpr const char* kNextRequestKey = "iTunesHelperNextRequest"; // seconds since 2001
    // Three days, in seconds.
    static constexpr double kRequestInterval = 259200;

    // Whether the prompt should show now. The very first call stores a moment three days
    // ahead and answers no.
    static bool shouldAskForReview();
    // Shows the prompt when shouldAskForReview says so.
    static void askForReview();
    static bool isReviewRequestVisible();

    static void openReviews();
    static void openAppPage();
    static void openAppStore();
    // An http or https address is followed through its redirects first: a redirect into the
    // store (an "itms" address) ends the chain, and the last address reached goes to the
    // platform. Any other address goes to the platform at once.
    static void openURL(const std::string& url);

    // The product's review page, its store page and the maker's page of applications, on
    // the maker's mobile site.
    static std::string appReviewsURL();
    static std::string appPageURL();
    static std::string appStoreURL();

    // The maker's mobile web base address, ending in "/". Deployment setting; an empty text
    // returns to the default.
    static std::string mobileBaseURL();
    static void setMobileBaseURL(const std::string& url);
    static constexpr const char* kDefaultMobileBaseURL = "https://m.quillonsoftware.com/";

    // Tests: forget any prompt and redirect chain under way.
    static void reset();

    iTunesHelper() = default;

    // The prompt's answer: 0 remind me later, 1 rate it, 2 don't ask again.
    void didDismissWithButtonIndex(platform::views::AlertView& alert, int buttonIndex) override;

    // The address last reached by the redirect chain.
    const std::string& savedURL() const { return m_url; }
    void saveURL(std::string url) { m_url = std::move(url); }

private:
    void follow(const std::string& url);
    void requestEnded();
    void requestFailed();
    void release();

    std::string m_url;
    std::shared_ptr<platform::net::WebRequest> m_request;
};
