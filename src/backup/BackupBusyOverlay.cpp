#include "backup/BackupBusyOverlay.h"

#include "backup/BackupServiceClient.h"
#include "ui/ViewExtensions.h"

std::shared_ptr<BackupBusyOverlay> BackupBusyOverlay::shared() {
    static std::weak_ptr<BackupBusyOverlay> current;
    if (auto overlay = current.lock())
        return overlay;
    auto overlay = std::make_shared<BackupBusyOverlay>();
    overlay->observe();
    current = overlay;
    return overlay;
}

void BackupBusyOverlay::observe() {
    auto& center = platform::NotificationCenter::defaultCenter();
    std::weak_ptr<BackupBusyOverlay> weak = weak_from_this();
    m_status = center.addObserver(
        BackupServiceClient::StatusChangedNotification, [weak](const platform::Notification& notification) {
            if (auto self = weak.lock())
                self->statusChanged(notification);
        });
    m_ended = center.addObserver(
        BackupServiceClient::ArchiveOperationEndedNotification, [weak](const platform::Notification&) {
            if (auto self = weak.lock())
                self->hide();
        });
}

void BackupBusyOverlay::statusChanged(const platform::Notification& notification) {
    const auto& info = notification.userInfo;
    auto text = [&info](const char* key) {
        auto found = info.find(key);
        return found == info.end() ? std::string() : found->second.toString().value_or("");
    };
    if (text("status") != "busy")
        return;
    // One panel at a time.
    setBusy(false);
    setBusy(true, text("description"));
    m_showing = true;
    m_keepAlive = shared_from_this();
}

void BackupBusyOverlay::hide() {
    if (!m_showing)
        return;
    m_showing = false;
    setBusy(false);
    // May be the last owner: nothing of this object is touched after this.
    auto keep = std::move(m_keepAlive);
}
