#include "app/VantrelMain.h"

#include "app/VantrelAppDelegate.h"
#include "platform/views/Application.h"

std::shared_ptr<VantrelAppDelegate> launchVantrel(const platform::Dictionary& options) {
    auto delegate = std::make_shared<VantrelAppDelegate>();
    platform::views::Application& application = platform::views::Application::sharedApplication();
    application.setDelegate(delegate);
    application.launch(options);
    return delegate;
}
