#include "ui/ThemeSelectionViewController.h"

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/QLRoundedRectView.h"
#include "model/SettingsManager.h"
#include "platform/base/RunLoop.h"
#include "platform/views/NavigationController.h"
#include "ui/KitTestSupport.h"

using namespace platform::views;
using vantrel::test::KitTest;

namespace {

class ThemeSelection : public KitTest {
protected:
    void SetUp() override {
        KitTest::SetUp();
        ThemedViewController::setSelectedTheme(0);
        screen = std::make_shared<ThemeSelectionViewController>();
        navigation = std::make_shared<NavigationController>(screen);
        window().setRootViewController(navigation);
        platform::RunLoop::main().runUntilIdle();
    }
    QLRoundedRectView* swatch(int theme) {
        return dynamic_cast<QLRoundedRectView*>(screen->scrollView()->viewWithTag(theme + 1));
    }
    std::shared_ptr<ThemeSelectionViewController> screen;
    std::shared_ptr<NavigationController> navigation;
};

} // namespace

TEST_F(ThemeSelection, GridOfFiveSwatchesPerRow) {
    EXPECT_EQ(screen->title(), "Theme Color");
    ASSERT_TRUE(screen->scrollView());
    EXPECT_EQ(screen->scrollView()->contentSize(), Size(320, 444));
    for (int theme = 0; theme < kThemeCount; ++theme) {
        QLRoundedRectView* view = swatch(theme);
        ASSERT_NE(view, nullptr) << theme;
        const double x = 6.5 + (theme % 5) * 62.5, y = 6.5 + (theme / 5) * 62.5;
        EXPECT_EQ(view->frame(), Rect(x, y, 56, 56)) << theme;
        EXPECT_EQ(view->backgroundColor(), colorWithHex(kThemes[size_t(theme)].third));
        EXPECT_EQ(view->strokeColor(), colorWithHex(kThemes[size_t(theme)].first));
        EXPECT_EQ(view->strokeSize(), 5);
        EXPECT_FALSE(view->drawShadow());
    }
    EXPECT_EQ(swatch(9)->frame().origin, Point(256.5, 69));
    renderScreen("theme-grid-theme-0");
}

TEST_F(ThemeSelection, TappingASwatchSelectsItsTheme) {
    // The fifth swatch of the second row.
    QLRoundedRectView* fifth = swatch(9);
    const Point centre = fifth->convertPointToView(fifth->bounds().center(), nullptr);
    window().touchDown(centre);
    window().touchUp(centre);
    EXPECT_EQ(ThemedViewController::selectedTheme(), 9);
    EXPECT_EQ(SettingsManager::sharedManager().themeIndex(), 9);
    EXPECT_EQ(navigation->navigationBar().tintColor(), colorWithHex(0x993366));
    renderScreen("theme-grid-theme-9");

    // Scrolled down, the last swatch selects the last theme.
    screen->scrollView()->setContentOffset({0, 28});
    QLRoundedRectView* last = swatch(34);
    const Point bottom = last->convertPointToView(last->bounds().center(), nullptr);
    window().touchDown(bottom);
    window().touchUp(bottom);
    EXPECT_EQ(ThemedViewController::selectedTheme(), 34);
    EXPECT_EQ(SettingsManager::sharedManager().themeIndex(), 34);
}
