// The busy overlay on the application's first window.

#include "ui/ViewExtensions.h"

#include "QLCoreLibrary/QLRoundedRectView.h"
#include "platform/views/ActivityIndicatorView.h"
#include "platform/views/Button.h"
#include "platform/views/Label.h"
#include "ui/KitTestSupport.h"
#include "ui/ThemedViewController.h"

using namespace platform::views;

namespace {

class BusyOverlay : public vantrel::test::KitScreenTest {
protected:
    void SetUp() override {
        KitScreenTest::SetUp();
        show(std::make_shared<ThemedViewController>());
    }
    Window& window() { return driver().window(); }
    View& content() { return *top()->view(); }
};

std::vector<View*> panels(Window& window) {
    std::vector<View*> found;
    for (const auto& subview : window.subviews()) {
        if (subview->tag() == kBusyOverlayTag)
            found.push_back(subview.get());
    }
    return found;
}

template<typename T> T* child(View& view) {
    for (const auto& subview : view.subviews()) {
        if (auto* found = dynamic_cast<T*>(subview.get()))
            return found;
    }
    return nullptr;
}

} // namespace

TEST_F(BusyOverlay, WithoutTextASquareBlocksInput) {
    int taps = 0;
    auto button = std::make_shared<Button>(Rect(10, 10, 100, 44));
    button->addTarget([&] { ++taps; }, ControlEventTouchUpInside);
    content().addSubview(button);

    setBusy(true);
    ASSERT_EQ(panels(window()).size(), 1u);
    auto* panel = dynamic_cast<QLRoundedRectView*>(panels(window()).front());
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->frame().size, Size(96, 96));
    EXPECT_EQ(panel->center(), window().bounds().center());
    EXPECT_EQ(window().subviews().back().get(), panel);
    auto* spinner = child<ActivityIndicatorView>(*panel);
    ASSERT_NE(spinner, nullptr);
    EXPECT_TRUE(spinner->isAnimating());
    EXPECT_EQ(spinner->center(), Point(48, 48));
    EXPECT_FALSE(window().isUserInteractionEnabled());
    renderScreen("busy-overlay");

    const Point centre = button->convertPointToView(button->bounds().center(), nullptr);
    driver().tapAt(centre);
    EXPECT_EQ(taps, 0);

    setBusy(false);
    EXPECT_TRUE(panels(window()).empty());
    EXPECT_TRUE(window().isUserInteractionEnabled());
    driver().tap(*button);
    EXPECT_EQ(taps, 1);
}

TEST_F(BusyOverlay, WithTextThePanelFitsIt) {
    setBusy(true, "Backing up");
    ASSERT_EQ(panels(window()).size(), 1u);
    View* panel = panels(window()).front();
    Label* label = child<Label>(*panel);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Backing up");
    EXPECT_EQ(label->textColor(), Color::whiteColor());
    EXPECT_EQ(panel->frame().size, Size(label->frame().width() + 40, 96));
    EXPECT_NEAR(label->center().x, panel->bounds().center().x, 1e-9);
    EXPECT_NEAR(label->frame().maxY(), 96 - 15, 1e-9);
    auto* spinner = child<ActivityIndicatorView>(*panel);
    EXPECT_EQ(spinner->frame().y(), 15);
    EXPECT_NEAR(spinner->center().x, panel->bounds().center().x, 1e-9);
    EXPECT_EQ(panel->center(), window().bounds().center());
    renderScreen("busy-overlay-text");
    setBusy(false);
}

TEST_F(BusyOverlay, EachCallAddsOrRemovesOnePanel) {
    // Idle with nothing shown only gives the input back.
    window().setUserInteractionEnabled(false);
    setBusy(false);
    EXPECT_TRUE(window().isUserInteractionEnabled());

    setBusy(true, "Restoring");
    setBusy(true);
    EXPECT_EQ(panels(window()).size(), 2u);
    setBusy(false);
    EXPECT_EQ(panels(window()).size(), 1u);
    EXPECT_TRUE(window().isUserInteractionEnabled());
    setBusy(false);
    EXPECT_TRUE(panels(window()).empty());
}
