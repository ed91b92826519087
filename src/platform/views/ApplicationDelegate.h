#pragma once

#include "platform/base/Value.h"
#include "platform/views/LocalNotification.h"

namespace platform::views {

class Application;

// What the application tells its delegate. Every operation is optional.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual bool didFinishLaunchingWithOptions(Application&, const Dictionary& options) { return true; }
    virtual void applicationDidBecomeActive(Application&) { }
    virtual void applicationWillResignActive(Application&) { }
    virtual void applicationDidEnterBackground(Application&) { }
    virtual void applicationWillEnterForeground(Application&) { }
    virtual void applicationWillTerminate(Application&) { }
    virtual void applicationDidReceiveMemoryWarning(Application&) { }
    // A reminder fired while the application was active.
    virtual void didReceiveLocalNotification(Application&, const LocalNotification&) { }
};

} // namespace platform::views
