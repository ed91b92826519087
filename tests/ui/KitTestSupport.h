#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/graphics/Image.h"
#include "platform/views/NavigationController.h"
#include "platform/views/View.h"
#include "platform/views/ViewController.h"
#include "platform/views/Window.h"
#include "support/AppDriver.h"
#include "support/TemporarySandbox.h"

namespace vantrel::test {

// With $VANTREL_RENDER_DIR set, writes the picture there as "<name>.png" for a person to
// look at; otherwise does nothing.
void keepPicture(const platform::graphics::Image& image, const std::string& name);

// A fresh sandbox, application and key window for the presentation kit's views: the
// window's root screen is a plain controller whose view the test fills.
class KitTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    platform::views::Window& window() { return *m_window; }
    platform::views::View& content() { return *m_root->view(); }

    // Draws `view` alone at scale 2 into an image of its frame's size, kept as with keepPicture.
    static platform::graphics::Image render(platform::views::View& view, const std::string& name);

private:
    std::unique_ptr<TemporarySandbox> m_sandbox;
    std::shared_ptr<platform::views::Window> m_window;
    std::shared_ptr<platform::views::ViewController> m_root;
};

// Screens of the kit driven as a person would, through the application test driver: the
// application is launched with a navigation stack, and taps, typing and bar buttons go
// through the window.
class KitScreenTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    AppDriver& driver() { return *m_driver; }
    // Launches the application showing a navigation stack whose root is `root`.
    std::shared_ptr<platform::views::NavigationController> show(
        std::shared_ptr<platform::views::ViewController> root);
    // Pushes a screen as the form below it would, and lets it appear.
    void push(std::shared_ptr<platform::views::ViewController> screen);
    platform::views::ViewController* top() { return driver().topViewController(); }
    // The screen as shown; kept as "<name>.png" in $VANTREL_RENDER_DIR when set.
    platform::graphics::Image renderScreen(const std::string& name);

    std::shared_ptr<platform::views::NavigationController> navigation;

    // The driver the fixture uses (a subclass may answer host questions differently).
    virtual std::unique_ptr<AppDriver> makeDriver() { return std::make_unique<AppDriver>(); }

private:
    std::unique_ptr<AppDriver> m_driver;
};

} // namespace vantrel::test
