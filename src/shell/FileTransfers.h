#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/views/ApplicationHost.h"

namespace shell {

// Files between the application and the browser. A file the application hands over is kept,
// in memory, as the one download the page may fetch until the next one replaces it. A file
// the user chooses in the page's chooser arrives as the body of a message, is written to the
// sandbox's temporary folder and handed to the waiting request; one request waits at a time.
//
// The download is read from the server's threads; everything else runs on the main thread.
class FileTransfers {
public:
    static constexpr size_t kMaxFileBytes = 16 * 1024 * 1024;
    static constexpr size_t kMaxNameLength = 120;

    struct Download {
        int id {0};
        std::string name;
        std::string contentType;
        std::shared_ptr<const std::string> bytes;
    };

    FileTransfers() = default;
    ~FileTransfers();
    FileTransfers(const FileTransfers&) = delete;
    FileTransfers& operator=(const FileTransfers&) = delete;

    // Keeps a copy of the file as the download to offer; its id, or none when the file cannot
    // be read or is too large.
    std::optional<int> offer(
        const std::string& path, const std::string& name, const std::string& contentType);
    // Any thread: the download of `id` while it is the one kept.
    std::optional<Download> download(int id) const;

    // A new file request, which cancels the one waiting; its id.
    int request(std::function<void(std::optional<platform::views::PickedFile>)> completion);
    // The page's answer to request `id`: a file that no request waits for any more is removed.
    void answer(int id, std::optional<platform::views::PickedFile> file);
    void cancel();

    // Any thread: writes what the page sent into a new file of the temporary folder; its path.
    static std::optional<std::string> store(const std::string& bytes);
    // The chosen file's name as the page reported it, fit to be shown: its last component,
    // without control characters, at most kMaxNameLength bytes.
    static std::string displayName(const std::string& name);

private:
    mutable std::mutex m_mutex;
    std::optional<Download> m_download;
    int m_lastDownload {0};
    int m_request {0};
    std::function<void(std::optional<platform::views::PickedFile>)> m_completion;
};

} // namespace shell
