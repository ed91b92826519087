#include "shell/ShellServer.h"

#include <charconv>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <sstream>
#include <netinet/in.h>
#include <netinet/tcp.h>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include "httpd/GuardedServer.h"
#include "platform/base/FileSystem.h"
#include "platform/base/RunLoop.h"
#include "platform/graphics/Image.h"
#include "shell/FileTransfers.h"
#include "shell/PageHub.h"
#include "shell/PageMessages.h"
#include "shell/Shell.h"

namespace shell {

namespace {

constexpr const char* kPagePolicy
    = "default-src 'self'; img-src 'self' blob: data:; frame-src 'self' http: https:; "
      "connect-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'none'";
constexpr int kEventPingSeconds = 5;

// The largest body each message route reads; any other request has none.
size_t maxBodyFor(const httplib::Request& request) {
    if (request.method != "POST")
        return 0;
    if (request.path == "/picture")
        return ShellServer::kMaxPictureBytes;
    if (request.path == "/file")
        return FileTransfers::kMaxFileBytes;
    return ShellServer::kMaxMessageBytes;
}

std::optional<std::string> header(const httplib::Request& request, const char* name) {
    if (!request.has_header(name))
        return std::nullopt;
    return request.get_header_value(name);
}

std::string contentTypeFor(const std::string& path) {
    static const std::pair<const char*, const char*> types[] = {
        {".html", "text/html; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},
        {".js", "text/javascript; charset=utf-8"},
        {".webmanifest", "application/manifest+json"},
        {".json", "application/json"},
        {".png", "image/png"},
        {".svg", "image/svg+xml"},
        {".ico", "image/x-icon"},
    };
    for (auto& [suffix, type] : types) {
        if (path.ends_with(suffix))
            return type;
    }
    return "application/octet-stream";
}

// Paths of files in the web folder: plain names, no dot segments, no hidden files.
bool isSafeRelativePath(const std::string& path) {
    if (path.empty() || path.size() > 200 || path.front() == '/')
        return false;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string segment = path.substr(start, end - start);
        if (segment.empty() || segment.front() == '.')
            return false;
        for (char c : segment) {
            if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.'))
                return false;
        }
        start = end + 1;
    }
    return true;
}

void fail(httplib::Response& response, int status, const std::string& message) {
    response.status = status;
    response.set_content(message + "\n", "text/plain; charset=utf-8");
}

std::optional<double> scaleParameter(const httplib::Request& request) {
    if (!request.has_param("scale"))
        return Shell::kCanonicalScale;
    std::string text = request.get_param_value("scale");
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !(value >= PageMessages::kMinScale)
        || value > PageMessages::kMaxScale)
        return std::nullopt;
    return value;
}

std::optional<long long> integerParameter(const httplib::Request& request, const char* name) {
    if (!request.has_param(name))
        return std::nullopt;
    std::string text = request.get_param_value(name);
    long long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value;
}

} // namespace

ShellServer::ShellServer(
    Shell& shell, PageHub& hub, std::string webRoot, std::string helpRoot, httpd::ConnectionLimits limits)
    : m_shell(shell)
    , m_hub(hub)
    , m_webRoot(std::move(webRoot))
    , m_helpRoot(std::move(helpRoot))
    , m_server(std::make_unique<httpd::GuardedServer>(limits)) {
    m_server->set_payload_max_length(kMaxPictureBytes);
    // Without SO_REUSEPORT (the library's default sets it), so that a second shell on the same
    // port fails to start instead of silently sharing the requests with the first.
    // TCP_NODELAY (which accepted sockets inherit): httplib sends a reply's headers and body
    // in two writes, and with Nagle's algorithm the body waited for the browser's delayed
    // acknowledgement of the headers, some 40 ms per frame fetched.
    m_server->set_socket_options([](socket_t socket) {
        int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    });
    installRoutes();
}

ShellServer::~ShellServer() {
    stop();
}

httpd::ConnectionLimits ShellServer::defaultLimits() {
    httpd::ConnectionLimits limits;
    limits.maxConnections = PageHub::kMaxPages + 48;
    // A browser opens six or so connections per page and keeps one for the events.
    limits.maxConnectionsPerAddress = 32;
    // An idle connection holds a thread this long, and stopping waits for none.
    limits.idleTimeout = std::chrono::seconds(2);
    limits.maxHeaderBytes = 32 * 1024; // cookies of other pages on the same host
    limits.maxHeaderCount = 100;
    return limits;
}

bool ShellServer::bind(
    const std::string& address, int port, std::string& error, const std::string& publicURL) {
    if (port == 0) {
        m_port = m_server->bind_to_any_port(address);
        if (m_port <= 0) {
            error = "cannot listen on " + address;
            return false;
        }
    } else if (!m_server->bind_to_port(address, port)) {
        error = "cannot listen on " + address + " port " + std::to_string(port) + " (in use?)";
        return false;
    } else {
        m_port = port;
    }
    m_policy = AccessPolicy::forListenAddress(address, m_port, publicURL);
    return true;
}

void ShellServer::start() {
    m_server->start();
}

void ShellServer::stop() {
    m_stopping = true;
    m_inputOrder.stop();
    m_shell.stopWaiting();
    m_hub.shutdown();
    if (m_server)
        m_server->shutdown();
}

std::string ShellServer::addressToOpen(const std::string& host) const {
    std::string name = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    std::string address = "http://" + name + ":" + std::to_string(m_port) + "/";
    if (m_policy && m_policy->needsToken())
        address += "?token=" + m_policy->token();
    return address;
}

std::string ShellServer::publicAddressToOpen(const std::string& publicURL) const {
    std::string address = AccessPolicy::originOf(publicURL).value_or(publicURL) + "/";
    if (m_policy && m_policy->needsToken())
        address += "?token=" + m_policy->token();
    return address;
}

bool ShellServer::onMain(const std::function<void()>& task, double timeoutSeconds) {
    struct Completion {
        std::mutex mutex;
        std::condition_variable done;
        bool finished {false};
    };
    auto completion = std::make_shared<Completion>();
    platform::RunLoop::main().post([task, completion] {
        task();
        {
            std::lock_guard lock(completion->mutex);
            completion->finished = true;
        }
        completion->done.notify_all();
    });
    // Waits in slices so that a stopping shell, whose loop runs no more calls, frees the thread.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    std::unique_lock lock(completion->mutex);
    while (!completion->finished && !m_stopping && std::chrono::steady_clock::now() < deadline)
        completion->done.wait_for(lock, std::chrono::milliseconds(50));
    return completion->finished;
}

void ShellServer::serveFile(
    const std::string& relativePath, httplib::Response& response, bool frameable, const std::string& root) {
    if (!isSafeRelativePath(relativePath)) {
        fail(response, 404, "Not found");
        return;
    }
    std::string path = root + "/" + relativePath;
    if (platform::fs::isDirectory(path))
        path += "/index.html";
    auto content = platform::fs::readFile(path);
    if (!content) {
        fail(response, 404, "Not found");
        return;
    }
    response.set_header("Cache-Control", "no-cache");
    response.set_header(
        "Content-Security-Policy", frameable ? "frame-ancestors 'self'" : "frame-ancestors 'none'");
    response.set_content(*content, contentTypeFor(path));
}

void ShellServer::installRoutes() {
    using Handled = httplib::Server::HandlerResponse;
    auto route = [this](void (ShellServer::*handler)(const Request&, Response&)) {
        return [this, handler](
                   const Request& request, Response& response) { (this->*handler)(request, response); };
    };
    m_server->set_pre_routing_handler([this](const Request& request, Response& response) {
        withoutBrotli(request);
        return checkAccess(request, response) ? Handled::Handled : Handled::Unhandled;
    });
    m_server->Get("/", route(&ShellServer::handlePage));
    m_server->Get(R"(/mobile/vantrel/help/(.*))", route(&ShellServer::handleHelp));
    m_server->Get("/state", route(&ShellServer::handleState));
    m_server->Get("/frame.png", route(&ShellServer::handleFrame));
    m_server->Get("/patch", route(&ShellServer::handlePatch));
    m_server->Get("/patches", route(&ShellServer::handlePatches));
    m_server->Get("/backdrop", route(&ShellServer::handleBackdrop));
    m_server->Get("/events", route(&ShellServer::handleEvents));
    m_server->Post("/input", route(&ShellServer::handleInput));
    m_server->Post("/page", route(&ShellServer::handlePageState));
    m_server->Post("/web", route(&ShellServer::handleWebContent));
    m_server->Post("/picture", route(&ShellServer::handlePicture));
    m_server->Get(R"(/download/(\d{1,9}))", route(&ShellServer::handleDownload));
    m_server->Post("/file", route(&ShellServer::handlePickedFile));
    m_server->Get(R"(/([A-Za-z0-9_\-./]+))", route(&ShellServer::handleFile));
}

// The HTTP library compresses text and JSON with Brotli at its slowest setting whenever the
// browser accepts it: 37 ms of a core for the page's script, taken from drawing the first
// frame at start, and a fresh encoder of megabytes for every answer to a touch. Without "br"
// among the encodings accepted it uses gzip, a millisecond for the script and a sixth more
// bytes.
void ShellServer::withoutBrotli(const Request& request) {
    // The library's request is its own and not const; only handlers see it so.
    auto& headers = const_cast<Request&>(request).headers;
    auto [first, last] = headers.equal_range("Accept-Encoding");
    for (auto it = first; it != last; ++it) {
        std::string kept;
        std::stringstream tokens(it->second);
        for (std::string token; std::getline(tokens, token, ',');) {
            auto name = token.substr(0, token.find(';'));
            name.erase(0, name.find_first_not_of(' '));
            name.erase(name.find_last_not_of(' ') + 1);
            if (name != "br")
                kept += (kept.empty() ? "" : ",") + token;
        }
        it->second = kept;
    }
}

bool ShellServer::checkAccess(const Request& request, Response& response) {
    response.set_header("X-Content-Type-Options", "nosniff");
    response.set_header("Referrer-Policy", "no-referrer");
    AccessPolicy::Request access {header(request, "Host"), header(request, "Origin"),
        header(request, "Cookie"),
        request.has_param("token") ? std::optional(request.get_param_value("token")) : std::nullopt};
    switch (m_policy->check(access)) {
    case AccessPolicy::Decision::Allow:
        break;
    case AccessPolicy::Decision::AllowAndSetCookie:
        response.set_header("Set-Cookie", m_policy->setCookieHeader());
        if (request.method == "GET" && request.path == "/") {
            // Keep the token out of the address bar and the history.
            response.status = 303;
            response.set_header("Location", "/");
            return true;
        }
        break;
    case AccessPolicy::Decision::ForbiddenHost:
        fail(response, 403, "This address is not the shell's own.");
        return true;
    case AccessPolicy::Decision::ForbiddenOrigin:
        fail(response, 403, "Requests from other sites are refused.");
        return true;
    case AccessPolicy::Decision::Unauthorized:
        fail(response, 401,
            "Open the address that vantrel printed when it started (it holds the access token).");
        return true;
    }
    // Checked before the body is read: a refused one is never received.
    const auto announced = std::strtoull(request.get_header_value("Content-Length").c_str(), nullptr, 10);
    if (announced > maxBodyFor(request)) {
        httpd::GuardedServer::closeConnectionAfterReply();
        fail(response, 413, "The message is too long");
        return true;
    }
    return false;
}

void ShellServer::handlePage(const Request&, Response& response) {
    serveFile("index.html", response, false, m_webRoot);
    response.set_header("Content-Security-Policy", kPagePolicy);
}

void ShellServer::handleHelp(const Request& request, Response& response) {
    std::string rest = request.matches[1];
    serveFile(rest.empty() ? "index.html" : rest, response, true, m_helpRoot);
}

void ShellServer::handleState(const Request&, Response& response) {
    response.set_header("Cache-Control", "no-store");
    response.set_content(m_shell.stateJSON(), "application/json");
}

void ShellServer::handleFrame(const Request& request, Response& response) {
    auto scale = scaleParameter(request);
    if (!scale)
        return fail(response, 400, "scale must be a number from 1 to 4");
    FrameStream* stream = m_shell.frameStream(*scale);
    std::uint64_t sequence = 0;
    auto png = stream ? stream->framePNG(&sequence) : nullptr;
    if (!png)
        return fail(response, 404, "No frame at this scale");
    response.set_header("Cache-Control", "no-store");
    response.set_header("X-Frame-Sequence", std::to_string(sequence));
    response.set_content(*png, "image/png");
}

void ShellServer::handlePatch(const Request& request, Response& response) {
    auto scale = scaleParameter(request);
    auto sequence = integerParameter(request, "seq");
    if (!scale || !sequence)
        return fail(response, 400, "patch needs a scale and a sequence number");
    FrameStream* stream = m_shell.frameStream(*scale);
    auto png = stream ? stream->patchPNG(static_cast<std::uint64_t>(*sequence)) : nullptr;
    if (!png)
        return fail(response, 404, "That patch is no longer kept");
    response.set_header("Cache-Control", "no-store");
    response.set_content(*png, "image/png");
}

// The backdrop that parts on it are drawn over, named by its key: a key no longer current
// is gone, and the page then takes the frame whole.
void ShellServer::handleBackdrop(const Request& request, Response& response) {
    auto scale = scaleParameter(request);
    std::string key = request.has_param("key") ? request.get_param_value("key") : "";
    if (!scale || key.empty())
        return fail(response, 400, "backdrop needs a scale and a key");
    FrameStream* stream = m_shell.frameStream(*scale);
    auto png = stream ? stream->backdropPNG(key) : nullptr;
    if (!png)
        return fail(response, 404, "That backdrop is no longer current");
    response.set_header("Cache-Control", "no-store");
    response.set_content(*png, "image/png");
}

// Several patches in one reply, each as its length (four bytes, most significant first) and
// its PNG: the strips of a frame the page does not have yet, without a request each.
void ShellServer::handlePatches(const Request& request, Response& response) {
    auto scale = scaleParameter(request);
    std::vector<std::uint64_t> sequences;
    std::string list = request.has_param("seqs") ? request.get_param_value("seqs") : "";
    for (size_t at = 0; at <= list.size() && !list.empty();) {
        size_t end = std::min(list.find(',', at), list.size());
        std::uint64_t value = 0;
        auto [stop, ec] = std::from_chars(list.data() + at, list.data() + end, value);
        if (ec != std::errc() || stop != list.data() + end || sequences.size() == kMaxPatchesAsked)
            return fail(response, 400, "patches needs a scale and up to 64 sequence numbers");
        sequences.push_back(value);
        at = end + 1;
    }
    if (!scale || sequences.empty())
        return fail(response, 400, "patches needs a scale and up to 64 sequence numbers");
    FrameStream* stream = m_shell.frameStream(*scale);
    std::string body;
    for (std::uint64_t sequence : sequences) {
        auto png = stream ? stream->patchPNG(sequence) : nullptr;
        if (!png)
            return fail(response, 404, "That patch is no longer kept");
        const auto size = static_cast<std::uint32_t>(png->size());
        const char length[4] = {char(size >> 24), char(size >> 16), char(size >> 8), char(size)};
        body.append(length, 4).append(*png);
    }
    response.set_header("Cache-Control", "no-store");
    response.set_content(body, "application/octet-stream");
}

void ShellServer::handleEvents(const Request& request, Response& response) {
    auto page = m_hub.open();
    if (!page)
        return fail(response, 503, "Too many pages are open");
    int id = *page;
    // A page may say how it shows the screen as it connects (?state=, as POST /page says it),
    // so that its first frame is drawn at once; a malformed one is ignored.
    std::string error;
    auto initial = request.has_param("state")
        ? PageMessages::parsePageState(request.get_param_value("state"), id, error)
        : std::nullopt;
    platform::RunLoop::main().post([this, id, initial] {
        if (!m_hub.isOpen(id))
            return;
        m_shell.pageOpened(id);
        if (initial)
            m_shell.pageChanged(*initial);
    });
    response.set_header("Cache-Control", "no-store");
    response.set_header("X-Accel-Buffering", "no");
    response.set_chunked_content_provider(
        "text/event-stream",
        [this, id](size_t, httplib::DataSink& sink) {
            std::string message;
            switch (m_hub.next(id, kEventPingSeconds, message)) {
            case PageHub::Wait::Message:
                return sink.write(message.data(), message.size());
            case PageHub::Wait::Timeout: {
                static const std::string ping = ": ping\n\n";
                return sink.write(ping.data(), ping.size());
            }
            case PageHub::Wait::Closed:
                sink.done();
                return true;
            }
            return false;
        },
        [this, id](bool) {
            m_hub.close(id);
            m_inputOrder.forget(id);
            platform::RunLoop::main().post([this, id] { m_shell.pageClosed(id); });
        });
}

void ShellServer::handleInput(const Request& request, Response& response) {
    if (request.body.size() > kMaxMessageBytes) // sent without a length
        return fail(response, 413, "The message is too long");
    std::string error;
    auto batch = PageMessages::parseInput(request.body, error);
    if (!batch)
        return fail(response, 400, error);
    std::uint64_t handledAt = 0;
    double scale = Shell::kCanonicalScale;
    m_inputOrder.waitForTurn(batch->page, batch->number);
    bool handled = onMain([&] {
        m_shell.handleInput(*batch);
        handledAt = m_shell.renderCount();
        scale = m_shell.scaleOf(batch->page);
    });
    m_inputOrder.done(batch->page, batch->number);
    if (!handled)
        return fail(response, 503, "The application is busy");
    if (batch->waitForFrame)
        m_shell.waitForRenderAfter(handledAt, 10);
    std::uint64_t sequence = 0;
    if (FrameStream* stream = m_shell.frameStream(scale); stream && stream->latest())
        sequence = stream->latest()->sequence;
    response.set_header("Cache-Control", "no-store");
    response.set_content(nlohmann::json {{"frame", sequence}}.dump(), "application/json");
}

void ShellServer::handlePageState(const Request& request, Response& response) {
    if (request.body.size() > kMaxMessageBytes) // sent without a length
        return fail(response, 413, "The message is too long");
    std::string error;
    auto state = PageMessages::parsePageState(request.body, error);
    if (!state)
        return fail(response, 400, error);
    platform::RunLoop::main().post([this, state = *state] { m_shell.pageChanged(state); });
    response.status = 204;
}

void ShellServer::handleWebContent(const Request& request, Response& response) {
    if (request.body.size() > kMaxMessageBytes) // sent without a length
        return fail(response, 413, "The message is too long");
    std::string error;
    auto event = PageMessages::parseWebContent(request.body, error);
    if (!event)
        return fail(response, 400, error);
    platform::RunLoop::main().post([this, event = *event] { m_shell.handleWebContent(event); });
    response.status = 204;
}

void ShellServer::handlePicture(const Request& request, Response& response) {
    auto id = integerParameter(request, "id");
    if (!id || *id < 1 || *id > 1'000'000'000)
        return fail(response, 400, "picture needs its request id");
    platform::graphics::Image image;
    if (!request.body.empty()) {
        int width = 0, height = 0;
        if (!platform::graphics::Image::pngPixelSize(request.body, width, height))
            return fail(response, 400, "The picture must be a PNG image");
        if (width > kMaxPictureSide || height > kMaxPictureSide)
            return fail(response, 400, "The picture is too large");
        image = platform::graphics::Image::imageWithData(request.body, 1);
        if (!image)
            return fail(response, 400, "The picture could not be read");
    }
    platform::RunLoop::main().post(
        [this, request = static_cast<int>(*id), image] { m_shell.handlePicture(request, image); });
    response.status = 204;
}

void ShellServer::handleFile(const Request& request, Response& response) {
    std::string path = request.matches[1];
    serveFile(path, response, false, m_webRoot);
}

void ShellServer::handleDownload(const Request& request, Response& response) {
    auto download = m_shell.download(std::stoi(request.matches[1].str()));
    if (!download)
        return fail(response, 404, "That download is no longer kept");
    response.set_header("Cache-Control", "no-store");
    // The name is the application's own ("vantrel-backup-2024-03-05.zip"): no quoting needed.
    response.set_header("Content-Disposition", "attachment; filename=\"" + download->name + "\"");
    response.set_content(*download->bytes, download->contentType);
}

void ShellServer::handlePickedFile(const Request& request, Response& response) {
    auto id = integerParameter(request, "id");
    if (!id || *id < 1 || *id > 1'000'000'000)
        return fail(response, 400, "file needs its request id");
    if (request.body.size() > FileTransfers::kMaxFileBytes)
        return fail(response, 413, "The file is too large");
    std::optional<platform::views::PickedFile> file;
    if (!request.body.empty()) {
        auto path = FileTransfers::store(request.body);
        if (!path)
            return fail(response, 507, "The file could not be stored");
        file = platform::views::PickedFile {*path,
            FileTransfers::displayName(request.has_param("name") ? request.get_param_value("name") : "")};
    }
    platform::RunLoop::main().post(
        [this, request = static_cast<int>(*id), file] { m_shell.handleFile(request, file); });
    response.status = 204;
}

} // namespace shell
