#include "backup/BackupServiceClient.h"

#include <climits>
#include <cstdlib>
#include <iostream>
#include <mutex>

#include "QLCoreLibrary/BackupArchive.h"
#include "QLCoreLibrary/FileManagerExtensions.h"
#include "QLCoreLibrary/RestoreProblem.h"
#include "QLCoreLibrary/UserDefaultsExtensions.h"
#include "data/DB.h"
#include "platform/base/DateFormatter.h"
#include "platform/base/Device.h"
#include "platform/base/FileSystem.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/RunLoop.h"
#include "platform/base/UserDefaults.h"
#include "platform/net/FormRequest.h"
#include "platform/net/JSON.h"

using platform::net::FormRequest;
namespace fs = platform::fs;

namespace {

const char* kDefaultBaseAddress = "http://127.0.0.1:8470/";

const char* kUnknownErrorMessage
    = "Could not process request because of an unknown error. Please contact support.";
const char* kConnectionMessage
    = "Unable to connect to the service. Please make sure your internet connection is working.";
const char* kPendingMessage
    = "This device has not be authorized for use with the backup service. Please check your "
      "email for instructions on how to authorize your device.";
const char* kUnauthorizedMessage = "Backup service account was not found. Please register first.";
const char* kNotFoundMessage = "The requested backup was not found on the server.";
const char* kDownloadFailedMessage = "Download failed.";
const char* kCorruptMessage = "Downloaded file is corrupt, please try again.";
const char* kRestoredMessage = "Restore completed successfully.";
const char* kArchiveFailedMessage = "The backup could not be created. Your data was not sent.";
const char* kRestoreFailedMessage = "The backup could not be restored. Your data was not changed.";
const char* kOutOfSpaceMessage
    = "There is not enough free space on this device to download the backup. Please free some space and "
      "try again.";
const char* kTooLargeReplyMessage
    = "The backup service sent more data than expected. Please try again later.";
const char* kIdentifierNotStoredMessage
    = "This device's identity could not be saved because Vantrel's data folder cannot be written. Please "
      "make it writable and register again.";

std::mutex s_presenterMutex;
BackupServiceClient::AlertPresenter s_presenter;

// Leading decimal digits after optional blanks and sign, as a count text is read; 0 without any.
int leadingInteger(const std::string& text) {
    size_t i = text.find_first_not_of(" \t\r\n");
    if (i == std::string::npos)
        return 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-')
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

std::string trimmedOfBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The database is closed while its file is packed or replaced, and always opened again.
class DatabaseClosed {
public:
    DatabaseClosed() { DB::disconnect(); }
    ~DatabaseClosed() { DB::connect(); }
    DatabaseClosed(const DatabaseClosed&) = delete;
    DatabaseClosed& operator=(const DatabaseClosed&) = delete;
};

} // namespace

std::string ServiceResponse::descriptionText() const {
    return description ? description->toString().value_or("") : "";
}

BackupServiceClient& BackupServiceClient::sharedClient() {
    static BackupServiceClient client;
    return client;
}

void BackupServiceClient::setAlertPresenter(AlertPresenter presenter) {
    std::lock_guard lock(s_presenterMutex);
    s_presenter = std::move(presenter);
}

void BackupServiceClient::setBaseAddress(std::string address) {
    if (!address.empty() && address.back() != '/')
        address += '/';
    m_baseAddress = std::move(address);
}

std::string BackupServiceClient::baseAddress() const {
    if (!m_baseAddress.empty())
        return m_baseAddress;
    if (const char* configured = std::getenv("VANTREL_BACKUP_URL"); configured && *configured) {
        std::string address = configured;
        return address.back() == '/' ? address : address + "/";
    }
    return kDefaultBaseAddress;
}

void BackupServiceClient::reset() {
    m_backups.clear();
    m_backupCount = -1;
    m_busy = false;
    m_baseAddress.clear();
    m_limits = Limits {};
}

// MARK: account

std::string BackupServiceClient::email() const {
    return stringForKey(platform::UserDefaults::standardUserDefaults(), "email", std::string()).value_or("");
}

std::string BackupServiceClient::deviceName() const {
    return stringForKey(
        platform::UserDefaults::standardUserDefaults(), "deviceName", platform::Device::current().name())
        .value_or(platform::Device::current().name());
}

std::string BackupServiceClient::deviceID() const {
    return platform::Device::current().uniqueIdentifier();
}

void BackupServiceClient::saveCredentials(const std::string& email, const std::string& deviceName) {
    if (email != this->email())
        forgetBackups();
    auto& defaults = platform::UserDefaults::standardUserDefaults();
    defaults.setString("email", email);
    // Without a name of its own the device keeps following its own name, also when that changes.
    if (deviceName != platform::Device::current().name() && !trimmedOfBlanks(deviceName).empty())
        defaults.setString("deviceName", deviceName);
    else
        defaults.removeObjectForKey("deviceName");
    defaults.synchronize();
}

void BackupServiceClient::clearCredentials() {
    forgetBackups();
    auto& defaults = platform::UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey("email");
    defaults.removeObjectForKey("deviceName");
    defaults.synchronize();
}

// What was known of one account's backups says nothing of another's.
void BackupServiceClient::forgetBackups() {
    m_backups.clear();
    m_backupCount = -1;
}

std::string BackupServiceClient::formatBackupDate(const std::string& text) {
    platform::DateFormatter parser;
    parser.setLocale("en_US_POSIX");
    parser.setTimeZone("UTC");
    parser.setDateFormat("yyyy-MM-dd HH:mm");
    const auto date = parser.dateFromString(text);
    if (!date)
        return text;
    platform::DateFormatter formatter;
    formatter.setDateStyle(platform::DateFormatter::Style::Medium);
    formatter.setTimeStyle(platform::DateFormatter::Style::Short);
    return formatter.stringFromDate(*date);
}

// MARK: common steps

std::string BackupServiceClient::serviceUrlForOperation(const std::string& operation) const {
    return baseAddress() + "mobile/services/" + operation + "/" + deviceID();
}

ServiceResponse BackupServiceClient::processResponse(const std::string& text) {
    ServiceResponse response;
    const auto object = platform::net::JSON::decodeObject(text);
    if (!object)
        return response;
    if (auto found = object->find("Status"); found != object->end())
        response.status = found->second.toString();
    if (auto found = object->find("Description"); found != object->end())
        response.description = found->second;
    if (auto found = object->find("Data"); found != object->end())
        response.data = found->second;
    return response;
}

void BackupServiceClient::showResponse(const ServiceResponse& response) {
    showMessage(response.status == "Exception" ? kUnknownErrorMessage : response.descriptionText());
}

void BackupServiceClient::showMessage(const std::string& text) {
    if (!platform::RunLoop::main().isMainThread()) {
        platform::dispatchToMain([this, text] { showMessage(text); });
        return;
    }
    AlertPresenter presenter;
    {
        std::lock_guard lock(s_presenterMutex);
        presenter = s_presenter;
    }
    if (presenter)
        presenter(AlertTitle, text);
    else
        std::cerr << AlertTitle << ": " << text << std::endl;
}

void BackupServiceClient::processConnectionError(const FormRequest& request) {
    postStatusNotification("connect", "Error", request.error() ? request.error()->localizedDescription : "");
    using Code = platform::net::RequestError::Code;
    const Code code = request.error() ? request.error()->code : Code::Other;
    showMessage(code == Code::OutOfSpace ? kOutOfSpaceMessage
            : code == Code::TooLarge     ? kTooLargeReplyMessage
                                         : kConnectionMessage);
}

std::shared_ptr<FormRequest> BackupServiceClient::controlRequest(const std::string& operation) const {
    auto request = FormRequest::make(serviceUrlForOperation(operation));
    request->setTimeLimit(m_limits.controlSeconds);
    request->setMaximumResponseSize(m_limits.maxControlReplyBytes);
    return request;
}

void BackupServiceClient::postStatusNotification(
    const std::string& operation, const std::string& status, const std::optional<std::string>& description) {
    platform::Dictionary info {{"operation", operation}, {"status", status}};
    if (description)
        info.emplace("description", *description);
    postNotification(std::move(info));
}

void BackupServiceClient::postNotification(platform::Dictionary info) {
    if (!platform::RunLoop::main().isMainThread()) {
        platform::dispatchToMain(
            [this, info = std::move(info)]() mutable { postNotification(std::move(info)); });
        return;
    }
    platform::NotificationCenter::defaultCenter().post(StatusChangedNotification, std::move(info), this);
}

// MARK: asynchronous requests

void BackupServiceClient::registerWithEmail(const std::string& email, const std::string& deviceName) {
    // Registering an identity that the next start forgets would strand the account's backups.
    if (!platform::Device::current().isIdentifierStored()) {
        showMessage(kIdentifierNotStoredMessage);
        return;
    }
    m_busy = true;
    auto request = controlRequest("registerdevice");
    request->setPostValue(email, "email");
    request->setPostValue(deviceName, "deviceName");
    request->setCompletionHandler([this, email, deviceName](FormRequest& reply) {
        m_busy = false;
        const ServiceResponse response = processResponse(reply.responseString());
        if (response.status == "OK") {
            saveCredentials(email, deviceName);
            postStatusNotification("registerdevice", "OK",
                response.description ? response.description->toString() : std::nullopt);
        }
        showResponse(response);
    });
    request->setFailedHandler([this](FormRequest& reply) {
        m_busy = false;
        processConnectionError(reply);
    });
    request->startAsynchronous();
}

void BackupServiceClient::refreshBackupList() {
    m_busy = true;
    auto request = controlRequest("backuplist");
    request->setPostValue(email(), "email");
    request->setCompletionHandler([this](FormRequest& reply) {
        m_busy = false;
        const ServiceResponse response = processResponse(reply.responseString());
        const auto description = response.description ? response.description->toString() : std::nullopt;
        if (response.status != "OK") {
            postStatusNotification("backuplist", "Error", description);
            return;
        }
        if (response.data && response.data->isArray()) {
            m_backups.clear();
            // An element that is no object can be neither shown nor restored: it is left out.
            for (const auto& element : response.data->array())
                if (element.isDictionary())
                    m_backups.push_back(element.dictionary());
        }
        postStatusNotification("backuplist", "OK", description);
    });
    request->setFailedHandler([this](FormRequest& reply) {
        m_busy = false;
        processConnectionError(reply);
    });
    request->startAsynchronous();
}

void BackupServiceClient::refreshBackupCount() {
    if (m_busy)
        return;
    m_busy = true;
    auto request = controlRequest("backupcount");
    request->setPostValue(email(), "email");
    request->setCompletionHandler([this](FormRequest& reply) {
        m_busy = false;
        const ServiceResponse response = processResponse(reply.responseString());
        const auto description = response.description ? response.description->toString() : std::nullopt;
        if (response.status == "OK") {
            m_backupCount = leadingInteger(description.value_or(""));
            postStatusNotification("backupcount", "OK", description);
        } else {
            postStatusNotification("backupcount", "Error", description);
        }
    });
    request->setFailedHandler([this](FormRequest& reply) {
        m_busy = false;
        postStatusNotification(
            "backupcount", "Error", reply.error() ? reply.error()->localizedDescription : "");
    });
    request->startAsynchronous();
}

// MARK: backup and restore

bool BackupServiceClient::beginArchiveOperation() {
    bool idle = false;
    return m_archiveOperation.compare_exchange_strong(idle, true);
}

void BackupServiceClient::runArchiveOperation(std::function<void()> operation) {
    m_busy = true;
    // Off the main thread, unless the caller already is.
    if (platform::RunLoop::main().isMainThread())
        platform::runInBackground(std::move(operation));
    else
        operation();
}

void BackupServiceClient::backup() {
    // They share the archive path and close the database: never two at once.
    if (!beginArchiveOperation())
        return;
    runArchiveOperation([this] { performBackup(); });
}

void BackupServiceClient::performBackup() {
    bool uploaded = false;
    try {
        m_busy = true;
        postStatusNotification("backup", "busy", "Backing up");

        auto authorization = controlRequest("authorizationstatus");
        authorization->setPostValue(email(), "email");
        authorization->startSynchronous();
        const ServiceResponse state = processResponse(authorization->responseString());
        if (authorization->error())
            processConnectionError(*authorization);
        else if (state.status == "OK" && state.descriptionText() == "authorization-pending")
            showMessage(kPendingMessage);
        else if (state.status == "OK" && state.descriptionText() == "unauthorized")
            showMessage(kUnauthorizedMessage);
        else
            uploaded = uploadBackup();
    } catch (...) {
        // Whatever went wrong, the screens must see the backup end.
    }
    postStatusNotification("backup", "OK", "Complete");
    m_busy = false;
    endArchiveOperation();
    if (uploaded)
        platform::dispatchToMain([this] { refreshBackupCount(); });
}

bool BackupServiceClient::uploadBackup() {
    const std::string archive = BackupArchive::archivePath();
    fs::removeItem(archive);
    bool written = false;
    {
        DatabaseClosed closed;
        platform::UserDefaults::standardUserDefaults().synchronize();
        written = BackupArchive::write(archive);
    }
    if (!written) {
        // Uploading an incomplete archive would report a backup that cannot be restored.
        fs::removeItem(archive);
        showMessage(kArchiveFailedMessage);
        return false;
    }
    FormRequest upload(serviceUrlForOperation("uploadfile"));
    upload.setTimeLimit(m_limits.fileSeconds, m_limits.bytesPerSecond);
    upload.setMaximumResponseSize(m_limits.maxControlReplyBytes);
    upload.setPostValue(email(), "email");
    upload.setPostValue(deviceName(), "deviceName");
    upload.setPostValue(md5ForFileAtPath(archive), "hash");
    upload.addFile(archive, "file");
    upload.startSynchronous();
    if (upload.error()) {
        processConnectionError(upload);
        return false;
    }
    const ServiceResponse response = processResponse(upload.responseString());
    showResponse(response);
    if (response.status != "OK")
        return false;
    fs::removeItem(archive);
    return true;
}

void BackupServiceClient::restore(int index) {
    if (m_archiveOperation)
        return;
    if (index < 0 || static_cast<size_t>(index) >= m_backups.size()) {
        postStatusNotification("restore", "Error", "Complete");
        showMessage(kNotFoundMessage);
        return;
    }
    const auto& entry = m_backups[static_cast<size_t>(index)];
    const auto bid = entry.find("bid");
    std::string identifier = bid == entry.end() ? "" : bid->second.toString().value_or("");
    if (!beginArchiveOperation())
        return;
    runArchiveOperation([this, identifier] { performRestore(identifier); });
}

RestoreProblem BackupServiceClient::installDownloadedArchive(const std::string& archive) {
    const std::string staging = BackupArchive::stagingDirectory();
    RestoreProblem problem = BackupArchive::stage(archive, staging, m_limits.maxRestoreBytes);
    fs::removeItem(archive);
    if (problem != RestoreProblem::None)
        return problem;
    DB::disconnect();
    // The previous data stays aside until the restored database has opened as it should.
    problem = BackupArchive::install(staging, [] {
        const auto damagedBefore = DB::damagedDatabaseKeptAside();
        DB::connect();
        if (auto aside = DB::damagedDatabaseKeptAside(); aside != damagedBefore) {
            // The restored file, not the user's: the user's goes back.
            fs::removeItem(*aside);
            DB::takeDamagedDatabaseKeptAside();
            DB::disconnect();
            return false;
        }
        if (DB::helper())
            return true;
        DB::disconnect();
        return false;
    });
    if (problem != RestoreProblem::None) {
        DB::disconnect();
        DB::connect();
    }
    return problem;
}

void BackupServiceClient::performRestore(std::string bid) {
    try {
        m_busy = true;
        postStatusNotification("restore", "busy", "Restoring");
        const std::string archive = BackupArchive::archivePath();
        fs::removeItem(archive);

        FormRequest download(serviceUrlForOperation("getfile"));
        download.setPostValue(email(), "email");
        download.setPostValue(bid, "bid");
        download.setDownloadDestinationPath(archive);
        download.setTimeLimit(m_limits.fileSeconds, m_limits.bytesPerSecond);
        download.setMaximumResponseSize(m_limits.maxDownloadBytes);
        download.startSynchronous();

        if (download.error()) {
            processConnectionError(download);
        } else {
            std::optional<std::string> failure;
            const auto& headers = download.responseHeaders();
            const auto hash = headers.find("Hash");
            if (download.responseStatusCode() == 404)
                failure = kNotFoundMessage;
            else if (!fs::fileExists(archive))
                failure = kDownloadFailedMessage;
            else if (hash == headers.end() || md5ForFileAtPath(archive) != hash->second)
                failure = kCorruptMessage;
            else if (auto problem = installDownloadedArchive(archive); problem != RestoreProblem::None)
                failure = restoreProblemMessage(problem);
            reportRestore(failure);
        }
    } catch (...) {
        restoreInterrupted();
    }
    m_busy = false;
    endArchiveOperation();
}

void BackupServiceClient::reportRestore(const std::optional<std::string>& failure) {
    if (failure) {
        showMessage(*failure);
        postStatusNotification("restore", "Error", "Complete");
        return;
    }
    postStatusNotification("restore", "OK", "Complete");
    // Posted after the notification, so the screens have left the list when it shows.
    showMessage(kRestoredMessage);
}

void BackupServiceClient::restoreInterrupted() {
    // Whatever was moved goes back, and the data is open again.
    BackupArchive::recoverInterruptedRestore();
    if (!DB::helper())
        DB::connect();
    showMessage(kRestoreFailedMessage);
    postStatusNotification("restore", "Error", "Complete");
}

void BackupServiceClient::restoreFromFile(const std::string& path) {
    if (!beginArchiveOperation()) {
        fs::removeItem(path);
        return;
    }
    runArchiveOperation([this, path] { performFileRestore(path); });
}

// A chosen file takes the downloaded archive's place and its way from there: only the
// transfer and its checksum differ.
void BackupServiceClient::performFileRestore(std::string path) {
    try {
        m_busy = true;
        postStatusNotification("restore", "busy", "Restoring");
        const std::string archive = BackupArchive::archivePath();
        fs::removeItem(archive);
        std::optional<std::string> failure;
        if (!fs::moveItem(path, archive) && !fs::copyItem(path, archive))
            failure = kRestoreFailedMessage;
        else if (auto problem = installDownloadedArchive(archive); problem != RestoreProblem::None)
            failure = restoreProblemMessage(problem);
        reportRestore(failure);
    } catch (...) {
        restoreInterrupted();
    }
    fs::removeItem(path);
    m_busy = false;
    endArchiveOperation();
}

void BackupServiceClient::endArchiveOperation() {
    m_archiveOperation = false;
    platform::dispatchToMain([this] {
        platform::NotificationCenter::defaultCenter().post(ArchiveOperationEndedNotification, {}, this);
    });
}
