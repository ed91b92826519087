#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/RunLoop.h"
#include "platform/graphics/Geometry.h"
#include "platform/views/ApplicationDelegate.h"
#include "platform/views/ApplicationHost.h"
#include "platform/views/KeyInput.h"
#include "platform/views/LocalNotification.h"

namespace platform::views {

class View;
class WebView;
class Window;

enum class ApplicationState { NotRunning, Active, Inactive, Background };

// The running application, one per process (sharedApplication()): its delegate and
// lifecycle, its windows and first responder, the badge number, local notifications, and
// the calls into whoever hosts it (openURL and the rest go to the ApplicationHost).
//
// The host drives it: launch(), the lifecycle calls, touches and keys. Main thread only.
class Application {
public:
    static Application& sharedApplication();

    // The delegate is owned by the application.
    void setDelegate(std::shared_ptr<ApplicationDelegate> delegate) { m_delegate = std::move(delegate); }
    ApplicationDelegate* delegate() const { return m_delegate.get(); }
    // Not owned; none by default.
    void setHost(ApplicationHost* host) { m_host = host; }
    ApplicationHost* host() const { return m_host; }

    // Lifecycle. launch() tells the delegate didFinishLaunching then didBecomeActive.
    ApplicationState applicationState() const { return m_state; }
    void launch(const Dictionary& options = {});
    void resignActive(); // Active -> Inactive (willResignActive)
    void enterBackground(); // -> Background (willResignActive first when active)
    void enterForeground(); // Background -> Inactive (willEnterForeground)
    void becomeActive(); // -> Active (didBecomeActive)
    void terminate(); // willTerminate
    void simulateMemoryWarning();

    // Windows: the key window is the one last made key and visible.
    Window* keyWindow() const;
    std::vector<Window*> windows() const;
    void setKeyWindow(Window* window);
    void windowWillClose(Window& window);
    // The key window's first responder, or none.
    View* firstResponder() const;

    // Input from the host, in screen points, to the key window. Ignored while the window
    // takes no input.
    void touchDown(graphics::Point point);
    void touchMove(graphics::Point point);
    void touchUp(graphics::Point point);
    // Keys forwarded by the host to the entry that has the keyboard; false when none has.
    bool typeText(const std::string& text);
    bool pressDeleteKey();
    bool pressReturnKey();
    // The traits of the entry that has the keyboard, or none.
    std::optional<TextInputTraits> activeInputTraits() const;
    void keyboardDidChange();

    int applicationIconBadgeNumber() const { return m_badgeNumber; }
    void setApplicationIconBadgeNumber(int number);

    // Local notifications: kept here, fired by the platform clock on the main loop.
    void scheduleLocalNotification(const LocalNotification& notification);
    void presentLocalNotificationNow(const LocalNotification& notification);
    void cancelLocalNotification(const LocalNotification& notification);
    void cancelAllLocalNotifications();
    std::vector<LocalNotification> scheduledLocalNotifications() const;
    // When the notification fires next by the current device time zone.
    static std::optional<Date> effectiveFireDate(
        const LocalNotification& notification, const std::string& scheduledZone);
    // Fires every notification due at the platform clock's now (the timer calls it too). A
    // repeating one fires once however many periods it missed and moves to its first firing
    // after now, computed in a few calendar steps however long ago it was due.
    void fireDueLocalNotifications();
    // The first firing of a repeating notification after `now`, counted in whole periods from
    // its fire date (none for a notification that does not repeat or has no fire date).
    static std::optional<Date> nextFireDate(
        const LocalNotification& notification, const std::string& scheduledZone, Date now);
    // The notice shown for `notifications` of one thread fired together (see LocalNotification).
    static LocalNotification groupedNotification(const std::vector<LocalNotification>& notifications);

    bool openURL(const std::string& url);
    bool canOpenURL(const std::string& url);
    bool isNetworkActivityIndicatorVisible() const { return m_networkActivity; }
    void setNetworkActivityIndicatorVisible(bool visible);
    bool isStatusBarHidden() const { return m_statusBarHidden; }
    void setStatusBarHidden(bool hidden, bool animated = false);

    // Web views that have content, for the host to show over their frames.
    void registerWebView(const std::shared_ptr<WebView>& webView);
    std::vector<std::shared_ptr<WebView>> webViews() const;
    void webContentDidChange();

    // Tests: forget everything (delegate, windows, notifications, badge, state, host).
    void reset();

private:
    Application() = default;
    struct Scheduled {
        LocalNotification notification;
        std::string zone; // device time zone when scheduled
        // effectiveFireDate, kept for the device time zone it was worked out in.
        std::optional<Date> effective;
        std::string effectiveZone;
        bool known {false};
    };
    static std::optional<Date> effectiveFireDate(Scheduled& scheduled);
    void rescheduleTimer();
    void deliver(const std::vector<LocalNotification>& notifications);

    std::shared_ptr<ApplicationDelegate> m_delegate;
    ApplicationHost* m_host {nullptr};
    ApplicationState m_state {ApplicationState::NotRunning};
    std::vector<std::weak_ptr<Window>> m_windows;
    std::weak_ptr<Window> m_keyWindow;
    int m_badgeNumber {0};
    std::vector<Scheduled> m_notifications;
    RunLoop::TimerId m_timer {0};
    bool m_networkActivity {false};
    bool m_statusBarHidden {false};
    std::vector<std::weak_ptr<WebView>> m_webViews;
    // Per thread, what was shown since the application was last active: a later reminder of
    // the thread joins them in one notice instead of adding another.
    std::map<std::string, std::vector<LocalNotification>> m_shownThreads;
};

} // namespace platform::views
