#include "platform/views/Application.h"

#include <algorithm>
#include <cmath>

#include "platform/base/Calendar.h"
#include "platform/base/Clock.h"
#include "platform/base/TimeZone.h"
#include "platform/views/Keyboard.h"
#include "platform/views/NavigationController.h"
#include "platform/views/StatusBar.h"
#include "platform/views/WebView.h"
#include "platform/views/Window.h"

namespace platform::views {

Application& Application::sharedApplication() {
    static Application application;
    return application;
}

void Application::launch(const Dictionary& options) {
    m_state = ApplicationState::Inactive;
    if (auto delegate = m_delegate)
        delegate->didFinishLaunchingWithOptions(*this, options);
    becomeActive();
}

void Application::resignActive() {
    if (m_state != ApplicationState::Active)
        return;
    m_state = ApplicationState::Inactive;
    if (auto delegate = m_delegate)
        delegate->applicationWillResignActive(*this);
}

void Application::enterBackground() {
    if (m_state == ApplicationState::Active)
        resignActive();
    if (m_state == ApplicationState::Background)
        return;
    m_state = ApplicationState::Background;
    if (auto delegate = m_delegate)
        delegate->applicationDidEnterBackground(*this);
}

void Application::enterForeground() {
    if (m_state != ApplicationState::Background)
        return;
    m_state = ApplicationState::Inactive;
    if (auto delegate = m_delegate)
        delegate->applicationWillEnterForeground(*this);
}

void Application::becomeActive() {
    if (m_state == ApplicationState::Active)
        return;
    if (m_state == ApplicationState::Background)
        enterForeground();
    m_state = ApplicationState::Active;
    // The person looks at the application: what the notices said is known now.
    m_shownThreads.clear();
    if (auto delegate = m_delegate)
        delegate->applicationDidBecomeActive(*this);
}

void Application::terminate() {
    if (m_state == ApplicationState::NotRunning)
        return;
    if (auto delegate = m_delegate)
        delegate->applicationWillTerminate(*this);
    m_state = ApplicationState::NotRunning;
}

namespace {

void warnControllers(ViewController* controller) {
    if (!controller)
        return;
    if (auto* nav = dynamic_cast<NavigationController*>(controller)) {
        for (auto& child : nav->viewControllers())
            warnControllers(child.get());
    }
    if (controller->modalViewController())
        warnControllers(controller->modalViewController().get());
    controller->didReceiveMemoryWarning();
}

} // namespace

void Application::simulateMemoryWarning() {
    if (auto delegate = m_delegate)
        delegate->applicationDidReceiveMemoryWarning(*this);
    for (Window* window : windows())
        warnControllers(window->rootViewController().get());
}

Window* Application::keyWindow() const {
    return m_keyWindow.lock().get();
}

std::vector<Window*> Application::windows() const {
    std::vector<Window*> result;
    for (auto& weak : m_windows) {
        if (auto window = weak.lock())
            result.push_back(window.get());
    }
    return result;
}

void Application::setKeyWindow(Window* window) {
    if (!window) {
        m_keyWindow.reset();
        return;
    }
    auto shared = std::static_pointer_cast<Window>(window->sharedFromThis());
    std::erase_if(m_windows, [&](auto& w) { return w.expired() || w.lock() == shared; });
    m_windows.push_back(shared);
    m_keyWindow = shared;
    window->statusBar().setShowsNetworkActivity(m_networkActivity);
    window->setStatusBarHidden(m_statusBarHidden);
}

void Application::windowWillClose(Window& window) {
    std::erase_if(m_windows, [&](auto& w) { return w.expired() || w.lock().get() == &window; });
}

View* Application::firstResponder() const {
    Window* window = keyWindow();
    return window ? window->firstResponder() : nullptr;
}

void Application::touchDown(graphics::Point point) {
    if (Window* window = keyWindow())
        window->touchDown(point);
}

void Application::touchMove(graphics::Point point) {
    if (Window* window = keyWindow())
        window->touchMove(point);
}

void Application::touchUp(graphics::Point point) {
    if (Window* window = keyWindow())
        window->touchUp(point);
}

namespace {

Keyboard* activeKeyboard(Window* window) {
    if (!window || !window->isUserInteractionEnabled())
        return nullptr;
    Keyboard* keyboard = window->keyboard();
    return keyboard && keyboard->input() ? keyboard : nullptr;
}

} // namespace

bool Application::typeText(const std::string& text) {
    Keyboard* keyboard = activeKeyboard(keyWindow());
    if (!keyboard)
        return false;
    keyboard->typeText(text);
    return true;
}

bool Application::pressDeleteKey() {
    Keyboard* keyboard = activeKeyboard(keyWindow());
    if (!keyboard)
        return false;
    keyboard->pressDelete();
    return true;
}

bool Application::pressReturnKey() {
    Keyboard* keyboard = activeKeyboard(keyWindow());
    if (!keyboard)
        return false;
    keyboard->pressReturn();
    return true;
}

std::optional<TextInputTraits> Application::activeInputTraits() const {
    Window* window = keyWindow();
    Keyboard* keyboard = window ? window->keyboard() : nullptr;
    if (!keyboard || !keyboard->input())
        return std::nullopt;
    return keyboard->input()->textInputTraits();
}

void Application::keyboardDidChange() {
    if (m_host)
        m_host->keyboardDidChange();
}

void Application::setApplicationIconBadgeNumber(int number) {
    if (m_badgeNumber == number)
        return;
    m_badgeNumber = number;
    if (m_host)
        m_host->badgeNumberDidChange(number);
}

std::optional<Date> Application::effectiveFireDate(
    const LocalNotification& n, const std::string& scheduledZone) {
    if (!n.fireDate)
        return std::nullopt;
    if (!n.timeZone)
        return n.fireDate;
    // Keep the wall-clock reading of the zone it was scheduled in.
    DateComponents wallClock = Calendar(scheduledZone).components(*n.fireDate);
    wallClock.weekday.reset();
    return Calendar().dateFromComponents(wallClock);
}

// Worked out once per device time zone: the timer looks at every reminder whenever one is
// added, and a calendar costs more than the comparison.
std::optional<Date> Application::effectiveFireDate(Scheduled& scheduled) {
    std::string zone = TimeZone::defaultIdentifier();
    if (!scheduled.known || scheduled.effectiveZone != zone) {
        scheduled.effective = effectiveFireDate(scheduled.notification, scheduled.zone);
        scheduled.effectiveZone = zone;
        scheduled.known = true;
    }
    return scheduled.effective;
}

void Application::scheduleLocalNotification(const LocalNotification& notification) {
    Scheduled scheduled;
    scheduled.notification = notification;
    scheduled.zone = TimeZone::defaultIdentifier();
    m_notifications.push_back(std::move(scheduled));
    rescheduleTimer();
    if (m_host)
        m_host->localNotificationsDidChange();
}

void Application::presentLocalNotificationNow(const LocalNotification& notification) {
    deliver({notification});
}

void Application::cancelLocalNotification(const LocalNotification& notification) {
    std::erase_if(m_notifications, [&](const Scheduled& s) { return s.notification == notification; });
    rescheduleTimer();
    if (m_host)
        m_host->localNotificationsDidChange();
}

void Application::cancelAllLocalNotifications() {
    m_notifications.clear();
    rescheduleTimer();
    if (m_host)
        m_host->localNotificationsDidChange();
}

std::vector<LocalNotification> Application::scheduledLocalNotifications() const {
    std::vector<LocalNotification> result;
    for (auto& s : m_notifications)
        result.push_back(s.notification);
    return result;
}

void Application::deliver(const std::vector<LocalNotification>& notifications) {
    if (m_state == ApplicationState::Active) {
        // As on the phone: the application in front hears of them and nothing is shown.
        for (auto& notification : notifications) {
            if (auto delegate = m_delegate)
                delegate->didReceiveLocalNotification(*this, notification);
        }
        return;
    }
    std::vector<std::vector<LocalNotification>> notices;
    std::map<std::string, size_t> noticeOfThread;
    for (auto& notification : notifications) {
        if (notification.threadIdentifier.empty()) {
            notices.push_back({notification});
            continue;
        }
        auto [it, added] = noticeOfThread.try_emplace(notification.threadIdentifier, notices.size());
        if (added)
            notices.emplace_back();
        notices[it->second].push_back(notification);
    }
    for (auto& notice : notices) {
        std::vector<LocalNotification> shown = notice;
        if (const std::string& thread = notice.front().threadIdentifier; !thread.empty()) {
            // Joins what the thread already showed; a reminder that fires again is not counted twice.
            std::vector<LocalNotification>& earlier = m_shownThreads[thread];
            for (auto& notification : notice) {
                bool known = std::any_of(earlier.begin(), earlier.end(), [&](const LocalNotification& n) {
                    return n.alertBody == notification.alertBody
                        && n.summaryArgument == notification.summaryArgument;
                });
                if (!known)
                    earlier.push_back(notification);
            }
            shown = earlier;
        }
        LocalNotification grouped = groupedNotification(shown);
        if (grouped.applicationIconBadgeNumber > 0)
            setApplicationIconBadgeNumber(grouped.applicationIconBadgeNumber);
        if (m_host)
            m_host->presentLocalNotification(grouped);
    }
}

LocalNotification Application::groupedNotification(const std::vector<LocalNotification>& notifications) {
    if (notifications.empty())
        return {};
    LocalNotification grouped = notifications.back();
    if (notifications.size() == 1)
        return grouped;
    std::string names;
    for (auto& notification : notifications) {
        if (!names.empty())
            names += ", ";
        names += notification.summaryArgument.empty() ? notification.alertBody : notification.summaryArgument;
        if (!grouped.soundName)
            grouped.soundName = notification.soundName;
        grouped.applicationIconBadgeNumber
            = std::max(grouped.applicationIconBadgeNumber, notification.applicationIconBadgeNumber);
    }
    std::string format
        = grouped.summaryFormat.empty() ? std::string("%u notifications: %@") : grouped.summaryFormat;
    std::string body;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && (format[i + 1] == 'u' || format[i + 1] == '@')) {
            body += format[i + 1] == 'u' ? std::to_string(notifications.size()) : names;
            ++i;
        } else {
            body += format[i];
        }
    }
    grouped.alertBody = body;
    grouped.summaryArgument.clear();
    return grouped;
}

namespace {

// One period of a repeat interval, `count` times over.
DateComponents stepsOf(RepeatInterval interval, int count) {
    DateComponents step;
    switch (interval) {
    case RepeatInterval::Minute:
        step.minute = count;
        break;
    case RepeatInterval::Hour:
        step.hour = count;
        break;
    case RepeatInterval::Day:
        step.day = count;
        break;
    case RepeatInterval::Week:
        step.day = 7 * count;
        break;
    case RepeatInterval::Month:
        step.month = count;
        break;
    case RepeatInterval::Year:
        step.year = count;
        break;
    case RepeatInterval::None:
        break;
    }
    return step;
}

// The usual length of a period, to guess how many lie between two dates; calendar months,
// years and daylight-saving days differ from it by less than a period over any span.
double nominalSeconds(RepeatInterval interval) {
    switch (interval) {
    case RepeatInterval::Minute:
        return 60;
    case RepeatInterval::Hour:
        return 3600;
    case RepeatInterval::Day:
        return 86400;
    case RepeatInterval::Week:
        return 7 * 86400;
    case RepeatInterval::Month:
        return 365.2425 / 12 * 86400;
    case RepeatInterval::Year:
        return 365.2425 * 86400;
    case RepeatInterval::None:
        break;
    }
    return 0;
}

} // namespace

std::optional<Date> Application::nextFireDate(
    const LocalNotification& notification, const std::string& scheduledZone, Date now) {
    if (!notification.fireDate || notification.repeatInterval == RepeatInterval::None)
        return std::nullopt;
    Calendar calendar(notification.timeZone ? scheduledZone : std::string());
    const Date first = *notification.fireDate;
    auto after = [&](long long periods) {
        constexpr long long kMaxPeriods = 1'000'000'000;
        int count = static_cast<int>(std::clamp(periods, 0LL, kMaxPeriods));
        return calendar.dateByAddingComponents(stepsOf(notification.repeatInterval, count), first);
    };
    auto firing = [&](long long periods) {
        LocalNotification probe = notification;
        probe.fireDate = after(periods);
        return *effectiveFireDate(probe, scheduledZone);
    };
    // A guess from the elapsed time, then a step or two either way: the first firing after
    // now, however long ago the notification was first due.
    double elapsed = now.timeIntervalSinceDate(firing(0)) / nominalSeconds(notification.repeatInterval);
    long long periods
        = std::isfinite(elapsed) && elapsed > 0 ? static_cast<long long>(std::min(elapsed, 1e12)) : 0;
    for (int guard = 0; guard < 64 && periods > 0 && firing(periods - 1) > now; ++guard)
        --periods;
    for (int guard = 0; guard < 64 && firing(periods) <= now; ++guard)
        ++periods;
    return after(periods);
}

void Application::fireDueLocalNotifications() {
    Date now = Clock::now();
    std::vector<LocalNotification> due;
    bool changed = false;
    for (auto it = m_notifications.begin(); it != m_notifications.end();) {
        auto fire = effectiveFireDate(*it);
        if (!fire || *fire > now) {
            ++it;
            continue;
        }
        due.push_back(it->notification);
        changed = true;
        if (it->notification.repeatInterval == RepeatInterval::None) {
            it = m_notifications.erase(it);
            continue;
        }
        // A repeating reminder fires once for the missed periods and moves past now.
        it->notification.fireDate = nextFireDate(it->notification, it->zone, now);
        it->known = false;
        ++it;
    }
    if (!due.empty())
        deliver(due);
    if (changed) {
        rescheduleTimer();
        if (m_host)
            m_host->localNotificationsDidChange();
    }
}

void Application::rescheduleTimer() {
    if (m_timer) {
        RunLoop::main().cancel(m_timer);
        m_timer = 0;
    }
    std::optional<Date> earliest;
    for (auto& s : m_notifications) {
        auto fire = effectiveFireDate(s);
        if (fire && (!earliest || *fire < *earliest))
            earliest = fire;
    }
    if (!earliest)
        return;
    double delay = std::max(0.0, earliest->timeIntervalSinceDate(Clock::now()));
    m_timer = RunLoop::main().performAfterDelay(delay, [this] {
        m_timer = 0;
        fireDueLocalNotifications();
    });
}

bool Application::openURL(const std::string& url) {
    return m_host && m_host->openURL(url);
}

bool Application::canOpenURL(const std::string& url) {
    return m_host && m_host->canOpenURL(url);
}

void Application::setNetworkActivityIndicatorVisible(bool visible) {
    m_networkActivity = visible;
    for (Window* window : windows())
        window->statusBar().setShowsNetworkActivity(visible);
}

void Application::setStatusBarHidden(bool hidden, bool) {
    m_statusBarHidden = hidden;
    for (Window* window : windows())
        window->setStatusBarHidden(hidden);
}

void Application::registerWebView(const std::shared_ptr<WebView>& webView) {
    std::erase_if(m_webViews, [&](auto& w) { return w.expired() || w.lock() == webView; });
    m_webViews.push_back(webView);
    webContentDidChange();
}

std::vector<std::shared_ptr<WebView>> Application::webViews() const {
    std::vector<std::shared_ptr<WebView>> result;
    for (auto& weak : m_webViews) {
        auto webView = weak.lock();
        if (webView && webView->window() && !webView->url().empty())
            result.push_back(webView);
    }
    return result;
}

void Application::webContentDidChange() {
    if (m_host)
        m_host->webContentDidChange();
}

void Application::reset() {
    if (m_timer) {
        RunLoop::main().cancel(m_timer);
        m_timer = 0;
    }
    m_delegate.reset();
    m_host = nullptr;
    m_state = ApplicationState::NotRunning;
    m_windows.clear();
    m_keyWindow.reset();
    m_badgeNumber = 0;
    m_notifications.clear();
    m_networkActivity = false;
    m_statusBarHidden = false;
    m_webViews.clear();
    m_shownThreads.clear();
}

} // namespace platform::views
