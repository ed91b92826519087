#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/graphics/Image.h"
#include "platform/views/View.h"
#include "platform/views/ViewController.h"
#include "platform/views/Window.h"
#include "support/TemporarySandbox.h"

namespace vantrel::test {

// A fresh sandbox, application and key window for the presentation kit's views: the
// window's root screen is a plain controller whose view the test fills.
class KitTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    platform::views::Window& window() { return *m_window; }
    platform::views::View& content() { return *m_root->view(); }

    // Draws `view` alone at scale 2 into an image of its frame's size. With
    // $VANTREL_RENDER_DIR set, the picture is also written there as "<name>.png", for a
    // person to look at.
    static platform::graphics::Image render(platform::views::View& view, const std::string& name);
    // The whole screen, likewise.
    platform::graphics::Image renderScreen(const std::string& name);
    static void keep(const platform::graphics::Image& image, const std::string& name);

private:
    std::unique_ptr<TemporarySandbox> m_sandbox;
    std::shared_ptr<platform::views::Window> m_window;
    std::shared_ptr<platform::views::ViewController> m_root;
};

} // namespace vantrel::test
