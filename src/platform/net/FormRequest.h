#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform::net {

// A transport failure: the request never got a complete reply.
struct RequestError {
    enum class Code { ConnectionFailed, TimedOut, FileError, OutOfSpace, TooLarge, Other };
    Code code {Code::Other};
    std::string localizedDescription;
};

// Header names compare without regard to case, as HTTP wants.
struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
using HeaderMap = std::map<std::string, std::string, CaseInsensitiveLess>;

// An HTTP POST of form fields, on libcurl.
//
// The body is URL-encoded (application/x-www-form-urlencoded, UTF-8) when no file is
// attached and multipart/form-data when one is; each file part carries the file's own name
// and a content type taken from its extension. The request sets no credentials and no
// headers of its caller's; it does set time-outs (see setTransferTimeouts), so that a
// server that stops answering ends in a failure instead of a hang.
//
// Create it with make(); startAsynchronous() keeps the request alive until its handler ran.
class FormRequest : public std::enable_shared_from_this<FormRequest> {
public:
    using Handler = std::function<void(FormRequest&)>;

    static std::shared_ptr<FormRequest> make(std::string url);
    explicit FormRequest(std::string url);
    FormRequest(const FormRequest&) = delete;
    FormRequest& operator=(const FormRequest&) = delete;

    const std::string& url() const { return m_url; }

    // Fields are sent in the order they were added; adding a key again adds another field.
    void setPostValue(const std::string& value, const std::string& key);
    void addFile(const std::string& path, const std::string& key);
    // The reply body goes to this file instead of responseString(). Any file at the path is
    // removed first; the body is written under a temporary name and renamed into place once
    // the transfer succeeded, so after a transport failure, or a reply without a body, no
    // file (and no partial file) is at the path.
    void setDownloadDestinationPath(const std::string& path);

    // The whole request, reply included, must be done within `seconds`, plus one second for
    // every `bytesPerSecond` bytes of the files sent and of the reply's announced length, so
    // that a server trickling bytes cannot hold it for ever. Default: 60 seconds flat.
    void setTimeLimit(double seconds, double bytesPerSecond = 0);
    // The longest reply body taken, in memory or into the download file; a longer one (or
    // one announced as longer) fails with TooLarge. Default: 1 MiB in memory, 1 GiB to a file.
    void setMaximumResponseSize(unsigned long long bytes) { m_maxResponseBytes = bytes; }

    // Runs the request on the calling thread. Afterwards error() is none exactly when a
    // reply arrived, whatever its HTTP status.
    void startSynchronous();
    // Runs the request on a background thread; exactly one of the handlers is then called
    // once on the main run loop: completion when a reply arrived (whatever its status),
    // failure when the transport failed.
    void setCompletionHandler(Handler handler) { m_completion = std::move(handler); }
    void setFailedHandler(Handler handler) { m_failed = std::move(handler); }
    void startAsynchronous();

    const std::optional<RequestError>& error() const { return m_error; }
    int responseStatusCode() const { return m_statusCode; }
    const HeaderMap& responseHeaders() const { return m_headers; }
    // The reply body as text (empty when it went to a download destination).
    const std::string& responseString() const { return m_body; }

    // Process-wide time-outs: connecting may take `connectSeconds`; a transfer that moves
    // less than one byte per second for `stallSeconds` is aborted. Defaults 15 and 60.
    static void setTransferTimeouts(long connectSeconds, long stallSeconds);
    static std::pair<long, long> transferTimeouts();

    // The content type sent for a file part, from the file's extension.
    static std::string contentTypeForPath(const std::string& path);

private:
    friend struct FormRequestTransfer;
    std::string m_url;
    std::vector<std::pair<std::string, std::string>> m_postValues;
    std::vector<std::pair<std::string, std::string>> m_files; // key, path
    std::string m_downloadPath;
    double m_timeLimitSeconds {60};
    double m_timeLimitBytesPerSecond {0};
    std::optional<unsigned long long> m_maxResponseBytes;
    Handler m_completion;
    Handler m_failed;

    std::optional<RequestError> m_error;
    int m_statusCode {0};
    HeaderMap m_headers;
    std::string m_body;
};

} // namespace platform::net
