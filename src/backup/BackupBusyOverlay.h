#pragma once

#include <memory>

#include "platform/base/NotificationCenter.h"

// The busy overlay of the backup screens, following the backup client rather than one screen:
// a backup's or restore's start shows it with its description ("Backing up", "Restoring"),
// and it stays up, the window taking no input, until that operation has ended, whatever else
// the client reports meanwhile (a list reply, a connection error), since the data is closed
// or being replaced until then.
//
// The screens share one; while an operation runs it also holds itself, so the overlay goes
// away when the operation ends even if the screens have gone (a restore returns to the list
// of cars).
class BackupBusyOverlay : public std::enable_shared_from_this<BackupBusyOverlay> {
public:
    // The one in use, made when none is.
    static std::shared_ptr<BackupBusyOverlay> shared();

    // Use shared(): it observes the client only once owned.
    BackupBusyOverlay() = default;
    BackupBusyOverlay(const BackupBusyOverlay&) = delete;
    BackupBusyOverlay& operator=(const BackupBusyOverlay&) = delete;

    bool isShowing() const { return m_showing; }

private:
    void observe();
    void statusChanged(const platform::Notification& notification);
    void hide();

    platform::ObserverToken m_status;
    platform::ObserverToken m_ended;
    bool m_showing {false};
    std::shared_ptr<BackupBusyOverlay> m_keepAlive;
};
