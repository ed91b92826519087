#include "platform/net/FormRequest.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <strings.h>
#include <sys/stat.h>

#include <curl/curl.h>

#include "platform/base/FileSystem.h"
#include "platform/base/RunLoop.h"

namespace platform::net {

namespace {

std::atomic<long> s_connectTimeout {15};
std::atomic<long> s_stallTimeout {60};

void initializeCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

RequestError errorForCode(CURLcode code) {
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
        return {RequestError::Code::TimedOut, "The request timed out."};
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return {RequestError::Code::ConnectionFailed, "Could not connect to the server."};
    case CURLE_READ_ERROR:
    case CURLE_FILE_COULDNT_READ_FILE:
        return {RequestError::Code::FileError, "The file to send could not be read."};
    case CURLE_WRITE_ERROR:
        return {RequestError::Code::FileError, "The reply could not be saved."};
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
        return {RequestError::Code::ConnectionFailed, "The network connection was lost."};
    default:
        return {RequestError::Code::Other,
            std::string("A network error occurred (") + curl_easy_strerror(code) + ")."};
    }
}

constexpr unsigned long long kDefaultMaxReplyBytes = 1024 * 1024;
constexpr unsigned long long kDefaultMaxDownloadBytes = 1024ULL * 1024 * 1024;

RequestError outOfSpaceError() {
    return {RequestError::Code::OutOfSpace, "There is not enough free space on the device."};
}

RequestError errorForWrite() {
    if (errno == ENOSPC || errno == EDQUOT)
        return outOfSpaceError();
    return {RequestError::Code::FileError, "The reply could not be saved."};
}

std::string trim(std::string text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

} // namespace

bool CaseInsensitiveLess::operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
}

// Owns the libcurl handles of one transfer and routes its callbacks into the request.
struct FormRequestTransfer {
    FormRequest& request;
    CURL* curl {curl_easy_init()};
    curl_mime* mime {nullptr};
    curl_slist* headers {nullptr};
    FILE* download {nullptr};
    std::string downloadTemporaryPath;
    std::string formBody;
    // Set by a callback that stops the transfer, for a clearer error than curl's own.
    std::optional<RequestError> abortReason;
    unsigned long long received {0};
    unsigned long long maxReceived {0};
    std::chrono::steady_clock::time_point deadline;

    explicit FormRequestTransfer(FormRequest& r)
        : request(r) { }
    ~FormRequestTransfer() {
        if (download)
            std::fclose(download);
        if (!downloadTemporaryPath.empty())
            std::remove(downloadTemporaryPath.c_str());
        curl_mime_free(mime);
        curl_slist_free_all(headers);
        curl_easy_cleanup(curl);
    }
    FormRequestTransfer(const FormRequestTransfer&) = delete;
    FormRequestTransfer& operator=(const FormRequestTransfer&) = delete;

    static size_t onBody(char* data, size_t size, size_t count, void* context) {
        auto* self = static_cast<FormRequestTransfer*>(context);
        const size_t length = size * count;
        self->received += length;
        if (self->received > self->maxReceived) {
            self->abortReason
                = RequestError {RequestError::Code::TooLarge, "The reply is larger than expected."};
            return 0;
        }
        if (self->request.m_downloadPath.empty()) {
            self->request.m_body.append(data, length);
            return length;
        }
        // Created with the first byte: a reply without a body leaves no file behind.
        if (!self->download) {
            self->downloadTemporaryPath = self->request.m_downloadPath + ".download";
            self->download = std::fopen(self->downloadTemporaryPath.c_str(), "wb");
            if (!self->download) {
                self->downloadTemporaryPath.clear();
                return 0; // aborts the transfer with a write error
            }
        }
        const size_t written = std::fwrite(data, 1, length, self->download);
        if (written != length)
            self->abortReason = errorForWrite();
        return written;
    }

    // The announced length is checked against the limit and the free space before a byte
    // of the body arrives, and extends the time allowed.
    void announcedLength(const std::string& value) {
        char* end = nullptr;
        const unsigned long long length = std::strtoull(value.c_str(), &end, 10);
        if (end == value.c_str())
            return;
        if (length > maxReceived) {
            abortReason = RequestError {RequestError::Code::TooLarge, "The reply is larger than expected."};
        } else if (!request.m_downloadPath.empty()) {
            std::string folder
                = request.m_downloadPath.substr(0, request.m_downloadPath.find_last_of('/') + 1);
            const auto free = fs::freeSpace(folder.empty() ? "." : folder);
            if (free && length > *free)
                abortReason = outOfSpaceError();
        }
        if (request.m_timeLimitBytesPerSecond > 0)
            deadline += std::chrono::milliseconds(static_cast<long long>(
                1000.0 * static_cast<double>(length) / request.m_timeLimitBytesPerSecond));
    }

    static int onProgress(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        auto* self = static_cast<FormRequestTransfer*>(context);
        if (self->abortReason)
            return 1;
        if (std::chrono::steady_clock::now() > self->deadline) {
            self->abortReason = RequestError {RequestError::Code::TimedOut, "The request timed out."};
            return 1;
        }
        return 0;
    }

    static size_t onHeader(char* data, size_t size, size_t count, void* context) {
        auto* self = static_cast<FormRequestTransfer*>(context);
        const size_t length = size * count;
        std::string line(data, length);
        // A new status line starts a new reply (after "100 Continue"): forget the old headers.
        if (line.rfind("HTTP/", 0) == 0) {
            self->request.m_headers.clear();
            return length;
        }
        const auto colon = line.find(':');
        if (colon != std::string::npos) {
            auto name = trim(line.substr(0, colon));
            if (strcasecmp(name.c_str(), "Content-Length") == 0)
                self->announcedLength(trim(line.substr(colon + 1)));
            // Headers are kept in memory too: a flood of them is no reply of the service.
            if (self->request.m_headers.size() >= 100)
                self->abortReason
                    = RequestError {RequestError::Code::TooLarge, "The reply is larger than expected."};
            if (!name.empty())
                self->request.m_headers[name] = trim(line.substr(colon + 1));
        }
        return self->abortReason ? 0 : length;
    }

    std::optional<RequestError> prepareBody() {
        if (request.m_files.empty()) {
            for (const auto& [key, value] : request.m_postValues) {
                if (!formBody.empty())
                    formBody += '&';
                char* k = curl_easy_escape(curl, key.data(), static_cast<int>(key.size()));
                char* v = curl_easy_escape(curl, value.data(), static_cast<int>(value.size()));
                formBody += k;
                formBody += '=';
                formBody += v;
                curl_free(k);
                curl_free(v);
            }
            headers = curl_slist_append(
                headers, "Content-Type: application/x-www-form-urlencoded; charset=utf-8");
            curl_easy_setopt(curl, CURLOPT_POST, 1L);
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(formBody.size()));
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, formBody.c_str());
            return std::nullopt;
        }
        mime = curl_mime_init(curl);
        for (const auto& [key, value] : request.m_postValues) {
            curl_mimepart* part = curl_mime_addpart(mime);
            curl_mime_name(part, key.c_str());
            curl_mime_data(part, value.data(), value.size());
            curl_mime_type(part, "text/plain; charset=utf-8");
        }
        for (const auto& [key, path] : request.m_files) {
            if (FILE* probe = std::fopen(path.c_str(), "rb"))
                std::fclose(probe);
            else
                return RequestError {RequestError::Code::FileError, "The file to send could not be read."};
            struct stat info { };
            if (request.m_timeLimitBytesPerSecond > 0 && ::stat(path.c_str(), &info) == 0)
                deadline += std::chrono::milliseconds(static_cast<long long>(
                    1000.0 * static_cast<double>(info.st_size) / request.m_timeLimitBytesPerSecond));
            curl_mimepart* part = curl_mime_addpart(mime);
            curl_mime_name(part, key.c_str());
            curl_mime_filedata(part, path.c_str()); // also sets the part's file name
            curl_mime_filename(part, fs::lastPathComponent(path).c_str());
            curl_mime_type(part, FormRequest::contentTypeForPath(path).c_str());
        }
        curl_easy_setopt(curl, CURLOPT_MIMEPOST, mime);
        return std::nullopt;
    }

    void run() {
        request.m_error.reset();
        request.m_statusCode = 0;
        request.m_headers.clear();
        request.m_body.clear();
        if (!curl) {
            request.m_error = RequestError {RequestError::Code::Other, "The network is not available."};
            return;
        }
        deadline = std::chrono::steady_clock::now()
            + std::chrono::milliseconds(static_cast<long long>(1000 * request.m_timeLimitSeconds));
        maxReceived = request.m_maxResponseBytes.value_or(
            request.m_downloadPath.empty() ? kDefaultMaxReplyBytes : kDefaultMaxDownloadBytes);
        if (auto failure = prepareBody()) {
            request.m_error = failure;
            return;
        }
        // A file left from an earlier transfer must not pass for this reply.
        if (!request.m_downloadPath.empty())
            std::remove(request.m_downloadPath.c_str());
        // Large bodies would otherwise wait for "100 Continue" first.
        headers = curl_slist_append(headers, "Expect:");
        curl_easy_setopt(curl, CURLOPT_URL, request.m_url.c_str());
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &FormRequestTransfer::onBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &FormRequestTransfer::onHeader);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, s_connectTimeout.load());
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, s_stallTimeout.load());
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &FormRequestTransfer::onProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);

        const CURLcode result = curl_easy_perform(curl);
        if (download) {
            const bool flushed = std::fclose(download) == 0;
            download = nullptr;
            if (result == CURLE_OK && !flushed) {
                request.m_error = errorForWrite();
                return;
            }
        }
        if (result != CURLE_OK) {
            request.m_error = abortReason ? *abortReason : errorForCode(result);
            request.m_headers.clear();
            return;
        }
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        request.m_statusCode = static_cast<int>(status);
        if (!downloadTemporaryPath.empty()) {
            if (std::rename(downloadTemporaryPath.c_str(), request.m_downloadPath.c_str()) != 0) {
                request.m_error
                    = RequestError {RequestError::Code::FileError, "The reply could not be saved."};
                return;
            }
            downloadTemporaryPath.clear();
        }
    }
};

std::shared_ptr<FormRequest> FormRequest::make(std::string url) {
    return std::make_shared<FormRequest>(std::move(url));
}

FormRequest::FormRequest(std::string url)
    : m_url(std::move(url)) {
    initializeCurlOnce();
}

void FormRequest::setPostValue(const std::string& value, const std::string& key) {
    m_postValues.emplace_back(key, value);
}

void FormRequest::addFile(const std::string& path, const std::string& key) {
    m_files.emplace_back(key, path);
}

void FormRequest::setDownloadDestinationPath(const std::string& path) {
    m_downloadPath = path;
}

void FormRequest::setTimeLimit(double seconds, double bytesPerSecond) {
    m_timeLimitSeconds = seconds;
    m_timeLimitBytesPerSecond = bytesPerSecond;
}

void FormRequest::startSynchronous() {
    FormRequestTransfer transfer(*this);
    transfer.run();
}

void FormRequest::startAsynchronous() {
    auto self = shared_from_this();
    platform::runInBackground([self] {
        self->startSynchronous();
        platform::dispatchToMain([self] {
            const Handler& handler = self->m_error ? self->m_failed : self->m_completion;
            if (handler)
                handler(*self);
            // Handlers often capture the request; break that cycle once they ran.
            self->m_completion = nullptr;
            self->m_failed = nullptr;
        });
    });
}

void FormRequest::setTransferTimeouts(long connectSeconds, long stallSeconds) {
    s_connectTimeout = connectSeconds;
    s_stallTimeout = stallSeconds;
}

std::pair<long, long> FormRequest::transferTimeouts() {
    return {s_connectTimeout.load(), s_stallTimeout.load()};
}

std::string FormRequest::contentTypeForPath(const std::string& path) {
    static const std::map<std::string, std::string, CaseInsensitiveLess> types {
        {"zip", "application/zip"},
        {"plist", "application/x-plist"},
        {"json", "application/json"},
        {"txt", "text/plain"},
        {"xml", "application/xml"},
        {"png", "image/png"},
        {"jpg", "image/jpeg"},
        {"jpeg", "image/jpeg"},
        {"sqlite", "application/x-sqlite3"},
        {"db", "application/x-sqlite3"},
    };
    const auto found = types.find(fs::pathExtension(path));
    return found == types.end() ? "application/octet-stream" : found->second;
}

} // namespace platform::net
