#include "app/AppTestSupport.h"

#include <sqlite3.h>

#include <cstdlib>

#include "QLCoreLibrary/DBHelper.h"
#include "data/DB.h"
#include "platform/base/Calendar.h"
#include "platform/base/Clock.h"
#include "platform/base/RunLoop.h"
#include "platform/base/UserDefaults.h"
#include "platform/views/Application.h"
#include "promotion/Analytics.h"
#include "promotion/iTunesHelper.h"
#include "ui/ThemedViewController.h"

namespace vantrel::test {

platform::Date localTime(int year, int month, int day, int hour, int minute) {
    return platform::Calendar().dateFromComponents({year, month, day, hour, minute, 0, {}});
}

void VantrelAppTest::SetUp() {
    m_driver = makeDriver();
    forgetProcessState();
    platform::Clock::setNow(localTime(2011, 3, 1, 9, 50));
}

void VantrelAppTest::TearDown() {
    platform::views::Application& application = platform::views::Application::sharedApplication();
    if (m_delegate)
        application.terminate();
    platform::RunLoop::main().waitForBackgroundThreads();
    m_driver.reset();
    m_delegate.reset();
    DB::disconnect();
    forgetProcessState();
}

void VantrelAppTest::forgetProcessState() {
    // What a new process would not remember.
    Analytics::reset();
    iTunesHelper::reset();
    ThemedViewController::forgetTheme();
}

void VantrelAppTest::launch() {
    // A new process: whatever a test stored beforehand is on disk, nothing is open.
    DB::disconnect();
    m_delegate = std::make_shared<VantrelAppDelegate>();
    driver().launch(m_delegate);
}

void VantrelAppTest::relaunch() {
    platform::views::Application& application = platform::views::Application::sharedApplication();
    application.terminate();
    application.reset();
    platform::RunLoop::main().runUntilIdle();
    platform::UserDefaults::resetStandardUserDefaults();
    forgetProcessState();
    launch();
}

void VantrelAppTest::leaveAndReturn() {
    platform::views::Application& application = platform::views::Application::sharedApplication();
    application.enterBackground();
    application.enterForeground();
    application.becomeActive();
    driver().runUntilIdle();
}

RootViewController& VantrelAppTest::root() {
    auto* list = dynamic_cast<RootViewController*>(
        delegate().navigationController()->viewControllers().front().get());
    if (!list)
        throw std::logic_error("the root of the navigation stack is not the vehicle list");
    return *list;
}

Vehicle VantrelAppTest::addVehicle(
    const std::string& name, int odometer, const std::string& make, const std::string& model, int year) {
    // Before launch the test stands in for an earlier run of the application.
    if (!DB::helper())
        DB::connect();
    Vehicle vehicle;
    vehicle.name = name;
    vehicle.odometer = odometer;
    vehicle.make = make;
    vehicle.model = model;
    vehicle.year = year;
    DB::saveVehicle(vehicle);
    return vehicle;
}

Service VantrelAppTest::recordService(
    const Vehicle& vehicle, const std::string& serviceName, platform::Date date, int odometer) {
    for (Service service : DB::serviceSummaryForVehicle(vehicle.vid)) {
        if (service.name != serviceName)
            continue;
        service.datePerformed = date;
        service.odometer = odometer;
        DB::saveVehicleService(service, false);
        return service;
    }
    ADD_FAILURE() << "no starter service named " << serviceName;
    return {};
}

void VantrelAppTest::refuseWrites() {
    ASSERT_EQ(sqlite3_exec(DB::helper()->database(), "PRAGMA query_only = 1", nullptr, nullptr, nullptr),
        SQLITE_OK);
}

void VantrelAppTest::keepScreen(const std::string& name) {
    const char* folder = std::getenv("VANTREL_RENDER_DIR");
    if (!folder || !*folder)
        return;
    driver().renderPNG(std::string(folder) + "/" + name + ".png");
}

} // namespace vantrel::test
