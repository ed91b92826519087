#include "app/VantrelAppDelegate.h"

#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>

#include "QLCoreLibrary/ApplicationExtensions.h"
#include "QLCoreLibrary/BackupArchive.h"
#include "app/DataRecoveryNotice.h"
#include "app/RootViewController.h"
#include "app/VehiclePageRegistry.h"
#include "backup/BackupServiceClient.h"
#include "data/DB.h"
#include "model/Service.h"
#include "model/SettingsManager.h"
#include "platform/base/Calendar.h"
#include "platform/base/Clock.h"
#include "platform/base/Device.h"
#include "platform/base/TimeZone.h"
#include "platform/views/Application.h"
#include "platform/views/Keyboard.h"
#include "platform/views/Screen.h"
#include "platform/views/Window.h"
#include "promotion/Analytics.h"
#include "promotion/iTunesHelper.h"
#include "ui/ThemedView.h"
#include "ui/ThemedViewController.h"

using platform::views::Application;

namespace {

std::terminate_handler g_previousTerminateHandler = nullptr;

std::string demangled(const char* name) {
    int status = 0;
    char* readable = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string result = status == 0 && readable ? readable : name;
    std::free(readable);
    return result;
}

[[noreturn]] void terminateHandler() {
    if (std::exception_ptr exception = std::current_exception())
        uncaughtExceptionHandler(exception);
    if (g_previousTerminateHandler)
        g_previousTerminateHandler();
    std::abort();
}

} // namespace

void uncaughtExceptionHandler(const std::exception_ptr& exception) {
    if (!exception)
        return;
    try {
        std::rethrow_exception(exception);
    } catch (const std::exception& e) {
        Analytics::logError("Crash!", demangled(typeid(e).name()), e.what());
    } catch (...) {
        std::type_info* type = abi::__cxa_current_exception_type();
        Analytics::logError("Crash!", type ? demangled(type->name()) : "unknown exception", "");
    }
}

void installUncaughtExceptionHandler() {
    std::terminate_handler current = std::get_terminate();
    if (current == &terminateHandler)
        return;
    g_previousTerminateHandler = current;
    std::set_terminate(&terminateHandler);
}

VantrelAppDelegate::VantrelAppDelegate() = default;

VantrelAppDelegate::~VantrelAppDelegate() = default;

bool VantrelAppDelegate::didFinishLaunchingWithOptions(Application&, const platform::Dictionary&) {
    // What the main interface description holds: the window and the navigation stack over
    // the vehicle list. The list reads nothing before it is shown (step 6).
    m_window = std::make_shared<platform::views::Window>();
    m_navigationController
        = std::make_shared<platform::views::NavigationController>(std::make_shared<RootViewController>());

    installUncaughtExceptionHandler();
    BackupServiceClient::setAlertPresenter(&ThemedViewController::showAlert);
    Analytics::startSession(kAnalyticsApiKey);
    m_isEnteringForeground = true;
    // A restore killed half-way is finished or undone before the data is opened.
    BackupArchive::recoverInterruptedRestore();
    DB::connect();
    registerVehiclePages();

    if (systemVersionNumber() < 3.2) {
        m_keyboardObserver = platform::NotificationCenter::defaultCenter().addObserver(
            platform::views::kKeyboardWillShowNotification,
            [this](const platform::Notification& notification) { keyboardWillShow(notification); });
    } else {
        m_keyboardObserver = platform::NotificationCenter::defaultCenter().addObserver(
            platform::views::kKeyboardDidShowNotification,
            [this](const platform::Notification& notification) { keyboardDidShow(notification); });
    }

    // The badge follows what the screens store at once, not only at the next resignation.
    m_dueCountObserver
        = platform::NotificationCenter::defaultCenter().addObserver(kDueServiceCountDidChangeNotification,
            [](const platform::Notification&) { updateApplicationBadge(); });

    m_window->setRootViewController(m_navigationController);
    // What the screens on the navigation stack show beneath their content.
    m_window->setBackdrop(std::make_shared<ThemedView>(platform::views::Rect {}),
        platform::views::Screen::kStatusBarHeight + platform::views::Screen::kNavigationBarHeight);
    m_window->makeKeyAndVisible();
    DataRecoveryNotice::showIfNeeded();
    return true;
}

void VantrelAppDelegate::applicationWillEnterForeground(Application&) {
    m_isEnteringForeground = true;
}

void VantrelAppDelegate::applicationDidBecomeActive(Application&) {
    if (!m_isEnteringForeground)
        return;
    m_isEnteringForeground = false;
    iTunesHelper::askForReview();
}

void VantrelAppDelegate::applicationWillResignActive(Application&) {
    SettingsManager::sharedManager().save();
    scheduleServiceNotifications();
}

void VantrelAppDelegate::applicationWillTerminate(Application&) {
    DB::disconnect();
}

void VantrelAppDelegate::didReceiveLocalNotification(
    Application&, const platform::views::LocalNotification&) { }

void VantrelAppDelegate::keyboardWillShow(const platform::Notification&) {
    if (systemVersionNumber() < 3.2)
        addStockButtonToKeypad(Application::sharedApplication());
}

void VantrelAppDelegate::keyboardDidShow(const platform::Notification&) {
    if (systemVersionNumber() >= 3.2)
        addStockButtonToKeypad(Application::sharedApplication());
}

double VantrelAppDelegate::systemVersionNumber() {
    std::string prefix = platform::Device::current().systemVersion().substr(0, 3);
    return std::strtod(prefix.c_str(), nullptr);
}

std::string VantrelAppDelegate::reminderText(const std::string& serviceName, const std::string& vehicleName) {
    return serviceName + " for " + vehicleName + " is due";
}

// Every reminder is cancelled and, with reminders on, one daily reminder per due service is
// scheduled daysBeforeDue days before its due day, at one hour and (15 + i) minutes past the
// time of day of this call for the i-th service, so that they come one minute apart. The
// badge shows the due count whether reminders are on or not.
void VantrelAppDelegate::scheduleServiceNotifications() {
    Application& application = Application::sharedApplication();
    application.cancelAllLocalNotifications();

    SettingsManager& settings = SettingsManager::sharedManager();
    int daysBeforeDue = settings.daysBeforeDue();
    int distanceBeforeDue = settings.distanceBeforeDue();

    if (settings.serviceReminders()) {
        platform::Calendar calendar;
        platform::DateComponents now = calendar.components(platform::Clock::now());
        std::vector<Service> services = DB::allServicesDueInDays(daysBeforeDue, distanceBeforeDue);
        for (size_t i = 0; i < services.size(); ++i) {
            const Service& service = services[i];
            // The due queries always give a due date; without one there is no day to count from.
            if (!service.dueDate)
                continue;
            platform::DateComponents offset;
            offset.day = -daysBeforeDue;
            offset.hour = now.hour.value_or(0) + 1;
            offset.minute = now.minute.value_or(0) + 15 + static_cast<int>(i);

            platform::views::LocalNotification reminder;
            reminder.alertBody = reminderText(service.name, service.vehicleName);
            // Reminders that fire together make one notice naming every service.
            reminder.threadIdentifier = kReminderThread;
            reminder.summaryArgument = service.name + " for " + service.vehicleName;
            reminder.summaryFormat = "%u services are due: %@";
            reminder.timeZone = platform::TimeZone::defaultIdentifier();
            reminder.soundName = platform::views::LocalNotification::kDefaultSoundName;
            reminder.repeatInterval = platform::views::RepeatInterval::Day;
            reminder.fireDate = calendar.dateByAddingComponents(offset, *service.dueDate);
            application.scheduleLocalNotification(reminder);
        }
    }

    updateApplicationBadge();
}

void VantrelAppDelegate::updateApplicationBadge() {
    SettingsManager& settings = SettingsManager::sharedManager();
    Application::sharedApplication().setApplicationIconBadgeNumber(
        DB::dueServiceCount(settings.daysBeforeDue(), settings.distanceBeforeDue()));
}
