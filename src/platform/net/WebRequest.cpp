#include "platform/net/WebRequest.h"

#include <cctype>
#include <mutex>
#include <utility>

#include <curl/curl.h>

#include "platform/base/RunLoop.h"

namespace platform::net {

namespace {

void initialiseCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t discardBody(char*, size_t size, size_t count, void*) {
    return size * count;
}

bool isWebAddress(const std::string& url) {
    return url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0;
}

bool hasScheme(const std::string& url) {
    size_t colon = url.find(':');
    if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(url[0])))
        return false;
    for (size_t i = 1; i < colon; ++i) {
        unsigned char c = static_cast<unsigned char>(url[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

// `location` taken relative to `base`. An address with a scheme of its own (a store address,
// "itms-apps:...", or "mailto:...") is taken as it is.
std::optional<std::string> resolve(const std::string& base, const std::string& location) {
    if (hasScheme(location) && !isWebAddress(location))
        return location;
    CURLU* handle = curl_url();
    if (!handle)
        return std::nullopt;
    std::optional<std::string> result;
    if (curl_url_set(handle, CURLUPART_URL, base.c_str(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK
        && curl_url_set(handle, CURLUPART_URL, location.c_str(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK) {
        char* text = nullptr;
        if (curl_url_get(handle, CURLUPART_URL, &text, CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK && text) {
            result = text;
            curl_free(text);
        }
    }
    curl_url_cleanup(handle);
    return result;
}

} // namespace

std::shared_ptr<WebRequest> WebRequest::make(std::string url) {
    return std::make_shared<WebRequest>(std::move(url));
}

WebRequest::WebRequest(std::string url)
    : m_url(std::move(url)) { }

WebRequest::Hop WebRequest::fetch(const std::string& url) {
    initialiseCurl();
    Hop hop;
    CURL* curl = curl_easy_init();
    if (!curl) {
        hop.error = "The network library could not start.";
        return hop;
    }
    char message[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &discardBody);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
    // A server that stops answering must end in a failure, not keep the busy overlay up.
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 15L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 30L);
    CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK) {
        hop.error = message[0] ? message : curl_easy_strerror(code);
    } else {
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        hop.status = static_cast<int>(status);
        curl_header* header = nullptr;
        if (status >= 300 && status < 400
            && curl_easy_header(curl, "Location", 0, CURLH_HEADER, -1, &header) == CURLHE_OK && header
            && header->value && header->value[0]) {
            hop.location = resolve(url, header->value);
            if (!hop.location)
                hop.error = "The server redirected to an address that cannot be read.";
        }
    }
    curl_easy_cleanup(curl);
    return hop;
}

void WebRequest::start() {
    startHop();
}

void WebRequest::startHop() {
    auto self = shared_from_this();
    std::string url = m_url;
    platform::runInBackground([self, url] {
        Hop hop = fetch(url);
        platform::dispatchToMain([self, hop] { self->hopEnded(hop); });
    });
}

void WebRequest::hopEnded(const Hop& hop) {
    if (m_cancelled)
        return;
    if (hop.error) {
        fail(*hop.error);
        return;
    }
    m_statusCode = hop.status;
    if (hop.location) {
        bool follow = m_redirect ? m_redirect(*this, *hop.location) : isWebAddress(*hop.location);
        if (m_cancelled)
            return;
        if (follow) {
            if (!isWebAddress(*hop.location)) {
                fail("Cannot follow a redirect to " + *hop.location + ".");
                return;
            }
            if (++m_redirects > kMaximumRedirects) {
                fail("Too many redirects.");
                return;
            }
            m_url = *hop.location;
            startHop();
            return;
        }
    }
    finish(std::exchange(m_completion, {}));
}

void WebRequest::fail(std::string error) {
    m_error = std::move(error);
    finish(std::exchange(m_failed, {}));
}

void WebRequest::finish(Handler handler) {
    // The handlers often hold the request's owner, which holds the request: let go of them
    // so that the two can be released.
    m_redirect = {};
    m_completion = {};
    m_failed = {};
    if (handler)
        handler(*this);
}

} // namespace platform::net
