#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/RootViewController.h"
#include "app/VantrelAppDelegate.h"
#include "model/Service.h"
#include "model/Vehicle.h"
#include "platform/base/Date.h"
#include "support/AppDriver.h"

namespace vantrel::test {

// A local time in the device time zone.
platform::Date localTime(int year, int month, int day, int hour = 0, int minute = 0);

// The driver as a phone that can send mail (the mail composer opens a mailto: address).
class MailingAppDriver : public AppDriver {
public:
    bool canSendMail() override { return true; }
};

// The real application, launched by the test driver on a fresh sandbox as the user opens it:
// the launch sequence, the database, the vehicle list. The clock stands at 09:50 on
// 1 March 2011 (local) unless a test moves it.
class VantrelAppTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    AppDriver& driver() { return *m_driver; }
    VantrelAppDelegate& delegate() { return *m_delegate; }
    RootViewController& root();
    // The screen on top of the navigation stack (or presented over it), as a given type.
    template<typename T> T& top() {
        auto* screen = dynamic_cast<T*>(driver().topViewController());
        if (!screen)
            throw std::logic_error("the screen on top is not of the expected type");
        return *screen;
    }

    void launch();
    // Ends the process as the platform would (terminate) and opens the application again on
    // the same sandbox: settings, theme and rating state are read back from disk.
    void relaunch();
    // The user leaves the application for the home screen and comes back.
    void leaveAndReturn();

    // A stored car, straight into the data store (opened for it when the application is not
    // running yet).
    static Vehicle addVehicle(const std::string& name, int odometer = 10000, const std::string& make = "",
        const std::string& model = "", int year = 0);
    // Records the car's starter service `serviceName` as performed on `date` at `odometer`.
    static Service recordService(
        const Vehicle& vehicle, const std::string& serviceName, platform::Date date, int odometer);

    // From now on the store refuses every write, as a read-only data folder or a full disk
    // makes it do.
    static void refuseWrites();

    // With $VANTREL_RENDER_DIR set, the screen is written there as "<name>.png" for a person
    // to look at.
    void keepScreen(const std::string& name);

    // The driver the fixture uses (a test may answer host questions differently).
    virtual std::unique_ptr<AppDriver> makeDriver() { return std::make_unique<AppDriver>(); }

private:
    void forgetProcessState();

    std::unique_ptr<AppDriver> m_driver;
    std::shared_ptr<VantrelAppDelegate> m_delegate;
};

} // namespace vantrel::test
