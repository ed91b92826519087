#include "shell/FileTransfers.h"

#include <atomic>
#include <utility>

#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"

namespace shell {

namespace fs = platform::fs;
using platform::views::PickedFile;

FileTransfers::~FileTransfers() {
    cancel();
}

std::optional<int> FileTransfers::offer(
    const std::string& path, const std::string& name, const std::string& contentType) {
    auto bytes = fs::readFile(path);
    if (!bytes || bytes->size() > kMaxFileBytes)
        return std::nullopt;
    std::lock_guard lock(m_mutex);
    m_download = Download {
        ++m_lastDownload, name, contentType, std::make_shared<const std::string>(std::move(*bytes))};
    return m_lastDownload;
}

std::optional<FileTransfers::Download> FileTransfers::download(int id) const {
    std::lock_guard lock(m_mutex);
    if (!m_download || m_download->id != id)
        return std::nullopt;
    return m_download;
}

int FileTransfers::request(std::function<void(std::optional<PickedFile>)> completion) {
    cancel();
    m_completion = std::move(completion);
    return ++m_request;
}

void FileTransfers::answer(int id, std::optional<PickedFile> file) {
    if (id != m_request || !m_completion) {
        if (file)
            fs::removeItem(file->path);
        return;
    }
    std::exchange(m_completion, nullptr)(std::move(file));
}

void FileTransfers::cancel() {
    if (m_completion)
        std::exchange(m_completion, nullptr)(std::nullopt);
}

std::optional<std::string> FileTransfers::store(const std::string& bytes) {
    static std::atomic<unsigned> counter {0};
    const std::string folder = platform::Sandbox::temporaryDirectory();
    fs::createDirectories(folder);
    const std::string path = fs::joinPath(folder, "chosen-file-" + std::to_string(++counter));
    if (!fs::writeFileAtomically(path, bytes))
        return std::nullopt;
    return path;
}

std::string FileTransfers::displayName(const std::string& name) {
    std::string shown;
    for (unsigned char c : fs::lastPathComponent(name)) {
        if (c >= 0x20 && c != 0x7f)
            shown += static_cast<char>(c);
    }
    if (shown.size() > kMaxNameLength) {
        // Cut on a character boundary.
        shown.resize(kMaxNameLength);
        while (!shown.empty() && (static_cast<unsigned char>(shown.back()) & 0xC0) == 0x80)
            shown.pop_back();
        if (!shown.empty() && static_cast<unsigned char>(shown.back()) >= 0xC0)
            shown.pop_back();
    }
    return shown;
}

} // namespace shell
