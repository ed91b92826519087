#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform::net {

// A GET of a web address that follows redirects one at a time, asking its owner before each
// one, on libcurl. The reply bodies are not kept: what matters is where the chain ends.
//
// Each hop runs on a background thread; every handler is called on the main run loop.
// Exactly one of completion and failure is called, unless the request is cancelled first.
// Create it with make(); start() keeps the request alive until then.
class WebRequest : public std::enable_shared_from_this<WebRequest> {
public:
    // Asked for every redirect with the absolute address it leads to (any scheme). Answer
    // true to follow it; false ends the request with the redirect as its reply. Without a
    // handler every redirect to an http or https address is followed.
    using RedirectHandler = std::function<bool(WebRequest&, const std::string& location)>;
    using Handler = std::function<void(WebRequest&)>;

    // Longer chains fail.
    static constexpr int kMaximumRedirects = 20;

    static std::shared_ptr<WebRequest> make(std::string url);
    explicit WebRequest(std::string url);
    WebRequest(const WebRequest&) = delete;
    WebRequest& operator=(const WebRequest&) = delete;

    void setRedirectHandler(RedirectHandler handler) { m_redirect = std::move(handler); }
    void setCompletionHandler(Handler handler) { m_completion = std::move(handler); }
    void setFailedHandler(Handler handler) { m_failed = std::move(handler); }

    void start();
    // No handler is called afterwards.
    void cancel() { m_cancelled = true; }

    // The address of the hop under way, or of the reply that ended the request.
    const std::string& url() const { return m_url; }
    // The status of the last reply (0 before one arrived).
    int responseStatusCode() const { return m_statusCode; }
    // Why the request failed; none while it has not.
    const std::optional<std::string>& error() const { return m_error; }
    int redirectCount() const { return m_redirects; }

private:
    struct Hop {
        int status {0};
        std::optional<std::string> location;
        std::optional<std::string> error;
    };
    static Hop fetch(const std::string& url);
    void startHop();
    void hopEnded(const Hop& hop);
    void fail(std::string error);
    void finish(Handler handler);

    std::string m_url;
    RedirectHandler m_redirect;
    Handler m_completion;
    Handler m_failed;
    int m_statusCode {0};
    int m_redirects {0};
    std::optional<std::string> m_error;
    bool m_cancelled {false};
};

} // namespace platform::net
