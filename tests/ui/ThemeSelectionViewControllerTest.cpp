#include "ui/ThemeSelectionViewController.h"
#include "ui/Theme.h"

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/QLRoundedRectView.h"
#include "model/SettingsManager.h"
#include "platform/base/RunLoop.h"
#include "platform/views/NavigationController.h"
#include "ui/KitTestSupport.h"

using namespace platform::views;

namespace {

class ThemeSelection : public vantrel::test::KitScreenTest {
protected:
    void SetUp() override {
        KitScreenTest::SetUp();
        ThemedViewController::setSelectedTheme(0);
        screen = std::make_shared<ThemeSelectionViewController>();
        show(screen);
    }
    QLRoundedRectView* swatch(int theme) {
        return dynamic_cast<QLRoundedRectView*>(screen->scrollView()->viewWithTag(theme + 1));
    }
    std::shared_ptr<ThemeSelectionViewController> screen;
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
    renderScreen("theme-grid-theme-0");
}

TEST_F(ThemeSelection, TappingASwatchSelectsItsTheme) {
    // The fifth swatch of the second row.
    driver().tap(*swatch(9));
    EXPECT_EQ(ThemedViewController::selectedTheme(), 9);
    EXPECT_EQ(SettingsManager::sharedManager().themeIndex(), 9);
    EXPECT_EQ(navigation->navigationBar().tintColor(), colorWithHex(0x993366));
    renderScreen("theme-grid-theme-9");

    // Scrolled down by a drag (which selects nothing), the last swatch selects the last theme.
    driver().drag({160, 400}, {160, 300});
    EXPECT_EQ(ThemedViewController::selectedTheme(), 9);
    EXPECT_GT(screen->scrollView()->contentOffset().y, 0);
    driver().tap(*swatch(34));
    EXPECT_EQ(ThemedViewController::selectedTheme(), 34);
    EXPECT_EQ(SettingsManager::sharedManager().themeIndex(), 34);
}
