#pragma once

#include <exception>
#include <memory>
#include <string>

#include "platform/base/NotificationCenter.h"
#include "platform/views/ApplicationDelegate.h"
#include "platform/views/NavigationController.h"
#include "platform/views/Window.h"

// The object the platform calls at launch and at every change of the run state. It opens
// the database before any screen reads data, shows the navigation stack whose root is the
// vehicle list, keeps the service reminders and the badge in step with the due services
// each time the application resigns active, asks for a rating on the first activation
// after launch and after each return to the foreground, and hands crashes to the usage
// recorder. It has no screen of its own. Main thread only.
class VantrelAppDelegate : public platform::views::ApplicationDelegate {
public:
    // The usage recorder's key for this application.
    static constexpr const char* kAnalyticsApiKey = "VT7Q2M9K4XH3N8R5B6PL";
    // The thread of the service reminders (see LocalNotification).
    static constexpr const char* kReminderThread = "com.quillon.vantrel.due-services";

    VantrelAppDelegate();
    ~VantrelAppDelegate() override;

    // The single window and the navigation stack (root: the vehicle list); made at launch.
    const std::shared_ptr<platform::views::Window>& window() const { return m_window; }
    const std::shared_ptr<platform::views::NavigationController>& navigationController() const {
        return m_navigationController;
    }
    // Set at launch and on every return to the foreground; the next activation clears it and
    // asks for a rating.
    bool isEnteringForeground() const { return m_isEnteringForeground; }

    bool didFinishLaunchingWithOptions(
        platform::views::Application& application, const platform::Dictionary& options) override;
    void applicationWillEnterForeground(platform::views::Application& application) override;
    void applicationDidBecomeActive(platform::views::Application& application) override;
    void applicationWillResignActive(platform::views::Application& application) override;
    void applicationWillTerminate(platform::views::Application& application) override;
    void didReceiveLocalNotification(platform::views::Application& application,
        const platform::views::LocalNotification& notification) override;

    // The keypad key goes back on the number pad whenever the platform shows the keyboard:
    // before system 3.2 on will-show, from 3.2 on on did-show. Each checks the system version
    // again and does nothing on the other kind of system.
    void keyboardWillShow(const platform::Notification& notification);
    void keyboardDidShow(const platform::Notification& notification);

    // Rebuilds every reminder and the badge from the due services (see the .cpp).
    void scheduleServiceNotifications();
    // Sets the icon badge to the number of services due across all cars with the settings'
    // thresholds; also run whenever a screen posts kDueServiceCountDidChangeNotification.
    static void updateApplicationBadge();

    // The first three characters of the system version read as a number ("3.1.3" -> 3.1).
    static double systemVersionNumber();
    // The reminder text for a due service.
    static std::string reminderText(const std::string& serviceName, const std::string& vehicleName);

private:
    std::shared_ptr<platform::views::Window> m_window;
    std::shared_ptr<platform::views::NavigationController> m_navigationController;
    bool m_isEnteringForeground {false};
    platform::ObserverToken m_keyboardObserver;
    platform::ObserverToken m_dueCountObserver;
};

// Reports an exception that nobody caught to the usage recorder, as the error "Crash!" with
// the exception's type name as message and what it says. Returns normally.
void uncaughtExceptionHandler(const std::exception_ptr& exception);
// Makes uncaughtExceptionHandler see every exception that ends the process (a terminate
// handler that reports, then hands over to the handler it replaced). Installing it again
// changes nothing.
void installUncaughtExceptionHandler();
