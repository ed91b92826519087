#include "server/BackupServer.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include <httplib.h>
#include <nlohmann/json.hpp>
#include <openssl/evp.h>

#include "httpd/GuardedServer.h"
#include "server/BackupStore.h"
#include "server/LogText.h"

namespace server {

namespace {

constexpr std::size_t kMaxEmailLength = 254;
constexpr std::size_t kMaxDeviceNameLength = 200;
constexpr std::size_t kMaxDeviceIDLength = 128;
// Form bodies of every operation but the upload: a few short fields.
constexpr std::size_t kMaxFormBytes = 64 * 1024;

const char* kNotRegistered = "Backup service account was not found. Please register first.";
const char* kPending = "This device has not been authorized yet. Please open the authorization link first.";

void reply(httplib::Response& response, const std::string& status, const nlohmann::json& description,
    nlohmann::json data = nullptr, int httpStatus = 200) {
    nlohmann::json body {{"Status", status}, {"Description", description}, {"Data", std::move(data)}};
    response.status = httpStatus;
    response.set_content(body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace),
        "application/json; charset=utf-8");
}

std::string field(const httplib::Request& request, const char* key) {
    if (request.has_param(key))
        return request.get_param_value(key);
    if (request.has_file(key))
        return request.get_file_value(key).content;
    return {};
}

bool isValidEmail(const std::string& email) {
    if (email.empty() || email.size() > kMaxEmailLength)
        return false;
    const auto at = email.find('@');
    if (at == 0 || at == std::string::npos || at == email.size() - 1
        || email.find('@', at + 1) != std::string::npos)
        return false;
    for (unsigned char c : email)
        if (c <= ' ' || c == 0x7f)
            return false;
    return true;
}

bool isValidDeviceID(const std::string& id) {
    if (id.empty() || id.size() > kMaxDeviceIDLength)
        return false;
    for (unsigned char c : id)
        if (!std::isalnum(c) && c != '-' && c != '_' && c != '.')
            return false;
    return true;
}

std::string md5Hex(const std::string& content) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(content.data(), content.size(), digest, &length, EVP_md5(), nullptr) != 1)
        throw std::runtime_error("MD5 unavailable");
    static const char* digits = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += digits[digest[i] >> 4];
        hex += digits[digest[i] & 15];
    }
    return hex;
}

std::string formatDate(std::time_t time) {
    std::tm utc {};
    gmtime_r(&time, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &utc);
    return text;
}

std::optional<std::string> readWholeFile(const std::string& path) {
    std::ifstream input(path, std::ios::binary);
    if (!input)
        return std::nullopt;
    std::ostringstream content;
    content << input.rdbuf();
    if (input.bad())
        return std::nullopt;
    return content.str();
}

} // namespace

BackupServer::BackupServer(BackupServerOptions options)
    : m_options(std::move(options))
    , m_store(std::make_unique<BackupStore>(m_options.dataFolder))
    , m_http(std::make_unique<httpd::GuardedServer>(m_options.limits)) {
    installRoutes();
}

BackupServer::~BackupServer() {
    stop();
}

void BackupServer::log(const std::string& line) const {
    if (m_options.log) {
        m_options.log(line);
        return;
    }
    const std::time_t now = std::time(nullptr);
    std::cerr << formatDate(now) << " vantrel-backupd: " << line << std::endl;
}

std::string BackupServer::baseURL() const {
    if (!m_options.publicURL.empty()) {
        std::string url = m_options.publicURL;
        if (url.back() != '/')
            url += '/';
        return url;
    }
    const bool ipv6 = m_options.host.find(':') != std::string::npos;
    return "http://" + (ipv6 ? "[" + m_options.host + "]" : m_options.host) + ":" + std::to_string(m_port)
        + "/";
}

bool BackupServer::allowRegistration(const std::string& address) {
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard lock(m_registrationMutex);
    auto& [windowStart, count] = m_registrations[address];
    if (count == 0 || now - windowStart >= std::chrono::minutes(1)) {
        windowStart = now;
        count = 0;
    }
    // Old windows go, so that the table cannot grow without end.
    if (m_registrations.size() > 10000)
        std::erase_if(m_registrations, [&](const auto& entry) { return now - entry.second.first >= std::chrono::minutes(1); });
    return ++count <= m_options.registrationsPerAddressPerMinute;
}

bool BackupServer::refuseBeforeBody(const httplib::Request& request, httplib::Response& response) {
    static const std::string prefix = "/mobile/services/";
    if (request.method != "POST" || request.path.compare(0, prefix.size(), prefix) != 0)
        return false;
    const std::string rest = request.path.substr(prefix.size());
    const std::string operation = rest.substr(0, rest.find('/'));
    const std::string deviceID = rest.find('/') == std::string::npos ? "" : rest.substr(rest.find('/') + 1);
    const unsigned long long announced
        = std::strtoull(request.get_header_value("Content-Length").c_str(), nullptr, 10);
    const bool upload = operation == "uploadfile";
    if (announced > (upload ? m_options.maxUploadBytes + kMaxFormBytes : kMaxFormBytes)) {
        httpd::GuardedServer::closeConnectionAfterReply();
        reply(response, "Error",
            upload ? "The backup is too large for this server." : "The request is too large.", nullptr, 413);
        return true;
    }
    // The e-mail address is in the body, the device in the address: an upload from a device
    // that no account authorized is refused before a byte of its archive is read.
    if (upload && !(isValidDeviceID(deviceID) && m_store->isAuthorizedDevice(deviceID))) {
        httpd::GuardedServer::closeConnectionAfterReply();
        reply(response, "Error", kNotRegistered);
        return true;
    }
    return false;
}

void BackupServer::installRoutes() {
    // Headroom over the archive for the form fields and multipart framing.
    m_http->set_payload_max_length(m_options.maxUploadBytes + kMaxFormBytes);
    m_http->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        try {
            return refuseBeforeBody(request, response) ? httplib::Server::HandlerResponse::Handled
                                                       : httplib::Server::HandlerResponse::Unhandled;
        } catch (const std::exception& error) {
            log(std::string("internal error before reading a request: ") + error.what());
            reply(response, "Exception", "The service failed to process the request.", nullptr, 500);
            return httplib::Server::HandlerResponse::Handled;
        }
    });
    m_http->Post(R"(/mobile/services/([^/]+)/([^/]+))",
        [this](const httplib::Request& request, httplib::Response& response) {
            handleService(request, response);
        });
    m_http->Get(R"(/mobile/authorize/([0-9a-f]+))",
        [this](const httplib::Request& request, httplib::Response& response) {
            handleAuthorize(request, response);
        });
    m_http->set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty())
            return;
        const int status = response.status;
        reply(response, "Error",
            status == 413 ? "The backup is too large for this server."
                          : "The request could not be processed.",
            nullptr, status);
    });
}

void BackupServer::handleRegistration(const httplib::Request& request, httplib::Response& response,
    const std::string& email, const std::string& deviceID) {
    std::string deviceName = field(request, "deviceName");
    if (!isValidEmail(email)) {
        reply(response, "Error", "A valid email address is required.");
        return;
    }
    if (deviceName.empty() || deviceName.size() > kMaxDeviceNameLength) {
        reply(response, "Error", "A device name of at most 200 characters is required.");
        return;
    }
    if (!allowRegistration(request.remote_addr)) {
        log("registration refused for " + LogText::escaped(request.remote_addr) + ": too many within a minute");
        reply(response, "Error", "Too many registrations from this address. Please try again in a minute.", nullptr,
            429);
        return;
    }
    const auto registration = m_store->registerDevice(email, deviceID, deviceName, m_options.autoAuthorize);
    // Everything the client sent is escaped: a name with a line break must not forge a line.
    const std::string who = LogText::escaped(email) + ", device \"" + LogText::escaped(deviceName) + "\" ("
        + LogText::escaped(deviceID) + ") from " + LogText::escaped(request.remote_addr);
    if (registration.state == BackupStore::Authorization::Authorized) {
        log("registered " + who + ", authorized");
        reply(response, "OK", "This device is registered and authorized for backups.");
    } else {
        log("registered " + who + ", authorization link: " + baseURL() + "mobile/authorize/" + registration.token);
        reply(response, "OK",
            "Thank you for registering. Backups can be made from this device once its "
            "authorization link has been opened.");
    }
}

void BackupServer::handleAuthorize(const httplib::Request& request, httplib::Response& response) {
    try {
        if (auto email = m_store->confirm(request.matches[1])) {
            log("device authorized for " + LogText::escaped(*email) + " from "
                + LogText::escaped(request.remote_addr));
            response.set_content("<!DOCTYPE html><title>Vantrel backup</title>"
                                 "<p>The device is authorized. Backups can now be made from it.</p>",
                "text/html; charset=utf-8");
        } else {
            response.status = 404;
            response.set_content("<!DOCTYPE html><title>Vantrel backup</title><p>This link is not valid.</p>",
                "text/html; charset=utf-8");
        }
    } catch (const std::exception& error) {
        log(std::string("internal error while authorizing: ") + error.what());
        response.status = 500;
        response.set_content("Internal error.", "text/plain");
    }
}

void BackupServer::handleService(const httplib::Request& request, httplib::Response& response) {
    const std::string operation = request.matches[1];
    const std::string deviceID = request.matches[2];
    try {
        const std::string email = BackupStore::normalizedEmail(field(request, "email"));
        if (!isValidDeviceID(deviceID)) {
            reply(response, "Error", "The device identifier is not valid.");
            return;
        }
        if (operation == "registerdevice") {
            handleRegistration(request, response, email, deviceID);
            return;
        }

        const auto state
            = email.empty() ? BackupStore::Authorization::Unknown : m_store->authorization(email, deviceID);
        if (operation == "authorizationstatus") {
            const char* description = state == BackupStore::Authorization::Authorized ? "authorized"
                : state == BackupStore::Authorization::Pending ? "authorization-pending"
                                                               : "unauthorized";
            reply(response, "OK", description);
            return;
        }
        if (operation != "backupcount" && operation != "backuplist" && operation != "uploadfile"
            && operation != "getfile") {
            reply(response, "Error", "Unknown operation.", nullptr, 404);
            return;
        }
        if (state != BackupStore::Authorization::Authorized) {
            if (operation == "getfile") // a backup of another account is as good as missing
                reply(response, "Error", "The requested backup was not found.", nullptr, 404);
            else
                reply(response, "Error",
                    state == BackupStore::Authorization::Pending ? kPending : kNotRegistered);
            return;
        }

        if (operation == "backupcount") {
            const int count = m_store->backupCount(email);
            reply(response, "OK", std::to_string(count), count);
        } else if (operation == "backuplist") {
            auto list = nlohmann::json::array();
            for (const auto& backup : m_store->backups(email))
                list.push_back({{"bid", backup.bid}, {"deviceName", backup.deviceName},
                    {"date", formatDate(backup.created)}});
            const auto count = list.size();
            reply(response, "OK", std::to_string(count) + (count == 1 ? " backup" : " backups"),
                std::move(list));
        } else if (operation == "uploadfile") {
            if (!request.has_file("file") || request.get_file_value("file").filename.empty()) {
                reply(response, "Error", "No backup file was received.");
                return;
            }
            const auto& content = request.get_file_value("file").content;
            if (content.size() > m_options.maxUploadBytes) {
                reply(response, "Error", "The backup is too large for this server.");
                return;
            }
            const std::string md5 = md5Hex(content);
            if (field(request, "hash") != md5) {
                reply(response, "Error", "The uploaded backup is corrupt, please try again.");
                return;
            }
            std::string deviceName = field(request, "deviceName");
            if (deviceName.size() > kMaxDeviceNameLength)
                deviceName.resize(kMaxDeviceNameLength);
            const std::string bid = m_store->addBackup(email, deviceID, deviceName, content, md5);
            log("stored backup " + bid + " for " + LogText::escaped(email) + " ("
                + std::to_string(content.size()) + " bytes)");
            reply(response, "OK", "Backup completed successfully.");
        } else { // getfile
            const auto backup = m_store->backup(email, field(request, "bid"));
            if (!backup) {
                reply(response, "Error", "The requested backup was not found.", nullptr, 404);
                return;
            }
            auto content = readWholeFile(backup->path);
            if (!content)
                throw std::runtime_error("backup file missing: " + backup->path);
            response.set_header("Hash", backup->md5);
            response.set_content(std::move(*content), "application/zip");
        }
    } catch (const std::exception& error) {
        log("internal error in " + LogText::escaped(operation) + ": " + LogText::escaped(error.what()));
        reply(response, "Exception", "The service failed to process the request.", nullptr, 500);
    }
}

bool BackupServer::bind() {
    if (m_options.port == 0)
        m_port = m_http->bind_to_any_port(m_options.host);
    else if (m_http->bind_to_port(m_options.host, m_options.port))
        m_port = m_options.port;
    else
        m_port = -1;
    if (m_port <= 0) {
        log("cannot listen on " + m_options.host + ":" + std::to_string(m_options.port));
        return false;
    }
    return true;
}

bool BackupServer::start() {
    if (!bind())
        return false;
    m_http->start();
    return true;
}

bool BackupServer::run() {
    if (!start())
        return false;
    log("listening on " + baseURL() + (m_options.autoAuthorize ? " (registrations authorized at once)" : ""));
    m_http->waitUntilStopped();
    return true;
}

void BackupServer::stop() {
    m_http->shutdown();
}

} // namespace server
