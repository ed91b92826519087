#include "platform/views/Application.h"

#include <algorithm>

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

void Application::scheduleLocalNotification(const LocalNotification& notification) {
    m_notifications.push_back({notification, TimeZone::defaultIdentifier()});
    rescheduleTimer();
    if (m_host)
        m_host->localNotificationsDidChange();
}

void Application::presentLocalNotificationNow(const LocalNotification& notification) {
    deliver(notification);
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

void Application::deliver(const LocalNotification& notification) {
    if (m_state == ApplicationState::Active) {
        if (auto delegate = m_delegate)
            delegate->didReceiveLocalNotification(*this, notification);
        return;
    }
    if (notification.applicationIconBadgeNumber > 0)
        setApplicationIconBadgeNumber(notification.applicationIconBadgeNumber);
    if (m_host)
        m_host->presentLocalNotification(notification);
}

namespace {

DateComponents stepOf(RepeatInterval interval) {
    DateComponents step;
    switch (interval) {
    case RepeatInterval::Minute:
        step.minute = 1;
        break;
    case RepeatInterval::Hour:
        step.hour = 1;
        break;
    case RepeatInterval::Day:
        step.day = 1;
        break;
    case RepeatInterval::Week:
        step.day = 7;
        break;
    case RepeatInterval::Month:
        step.month = 1;
        break;
    case RepeatInterval::Year:
        step.year = 1;
        break;
    case RepeatInterval::None:
        break;
    }
    return step;
}

} // namespace

void Application::fireDueLocalNotifications() {
    Date now = Clock::now();
    std::vector<LocalNotification> due;
    bool changed = false;
    for (auto it = m_notifications.begin(); it != m_notifications.end();) {
        auto fire = effectiveFireDate(it->notification, it->zone);
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
        // A repeating reminder fires once for the missed period and moves past now.
        Calendar calendar(it->notification.timeZone ? it->zone : std::string());
        DateComponents step = stepOf(it->notification.repeatInterval);
        Date next = *it->notification.fireDate;
        for (int guard = 0; guard < 100000; ++guard) {
            next = calendar.dateByAddingComponents(step, next);
            LocalNotification probe;
            probe.fireDate = next;
            probe.timeZone = it->notification.timeZone;
            auto effective = effectiveFireDate(probe, it->zone);
            if (effective && *effective > now)
                break;
        }
        it->notification.fireDate = next;
        ++it;
    }
    for (auto& notification : due)
        deliver(notification);
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
        auto fire = effectiveFireDate(s.notification, s.zone);
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
}

} // namespace platform::views
