#include "ui/KitTestSupport.h"

#include <cstdlib>

#include "platform/base/FileSystem.h"
#include "platform/base/RunLoop.h"
#include "platform/graphics/ImageContext.h"
#include "platform/views/Application.h"
#include "platform/views/NavigationController.h"
#include "ui/ThemedViewController.h"

using namespace platform;
using namespace platform::views;
using platform::graphics::Image;
using platform::graphics::ImageContext;

namespace vantrel::test {

void KitTest::SetUp() {
    m_sandbox = std::make_unique<TemporarySandbox>();
    Application::sharedApplication().reset();
    RunLoop::main().reset();
    ImageContext::setMainScreenScale(2);
    ThemedViewController::forgetTheme();
    m_window = std::make_shared<Window>();
    m_root = std::make_shared<ViewController>();
    m_window->setRootViewController(m_root);
    m_window->makeKeyAndVisible();
}

void KitTest::TearDown() {
    RunLoop::main().runUntilIdle();
    m_window->setRootViewController(nullptr);
    m_root.reset();
    m_window.reset();
    Application::sharedApplication().reset();
    RunLoop::main().reset();
    ThemedViewController::forgetTheme();
    m_sandbox.reset();
}

Image KitTest::render(View& view, const std::string& name) {
    ImageContext image(view.frame().size, false, 2);
    view.renderInContext(image.context());
    Image picture = image.image();
    keepPicture(picture, name);
    return picture;
}

void keepPicture(const Image& image, const std::string& name) {
    const char* folder = std::getenv("VANTREL_RENDER_DIR");
    if (!folder || !*folder)
        return;
    fs::createDirectories(folder);
    image.writeToFile(fs::joinPath(folder, name + ".png"));
}

void KitScreenTest::SetUp() {
    RunLoop::main().reset();
    ImageContext::setMainScreenScale(2);
    ThemedViewController::forgetTheme();
    m_driver = makeDriver();
}

void KitScreenTest::TearDown() {
    m_driver->runUntilIdle();
    navigation.reset();
    m_driver.reset();
    ThemedViewController::forgetTheme();
}

std::shared_ptr<NavigationController> KitScreenTest::show(std::shared_ptr<ViewController> root) {
    navigation = std::make_shared<NavigationController>(std::move(root));
    m_driver->launchWithRootViewController(navigation);
    return navigation;
}

void KitScreenTest::push(std::shared_ptr<ViewController> screen) {
    navigation->pushViewController(std::move(screen), true);
    m_driver->runUntilIdle();
}

Image KitScreenTest::renderScreen(const std::string& name) {
    Image picture = m_driver->render();
    keepPicture(picture, name);
    return picture;
}

} // namespace vantrel::test
