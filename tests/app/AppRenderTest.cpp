#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/VehicleListTableViewCell.h"
#include "model/SettingsManager.h"
#include "platform/graphics/Image.h"
#include "ui/BadgeView.h"
#include "ui/OdometerView.h"
#include "ui/ThemedViewController.h"

using namespace vantrel::test;
using namespace platform::views;
using platform::graphics::Image;

namespace {

// The screens a person looks at, drawn in a theme without and one with the header colour.
// With $VANTREL_RENDER_DIR set each is kept as "<screen>-theme-<n>.png".
class AppRenderTest : public VantrelAppTest, public testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        VantrelAppTest::SetUp();
        SettingsManager::sharedManager().setThemeIndex(GetParam());
    }
    Image shot(const std::string& name) {
        keepScreen(name + "-theme-" + std::to_string(GetParam()));
        return driver().render();
    }
    // A pixel of the screen at a point, the status bar included (the render is at scale 2).
    static Color at(const Image& image, double x, double y) { return image.colorAtPoint({x, y}); }
    Color first() const { return ThemedViewController::firstColor(); }
};

} // namespace

TEST_P(AppRenderTest, VehicleListWithThreeCars) {
    Vehicle dailyCar = addVehicle("Daily Driver", 48210, "Ford", "Focus", 2009);
    recordService(dailyCar, "Oil Change", localTime(2011, 2, 1), 43400);
    recordService(dailyCar, "Tire Rotation", localTime(2010, 9, 10), 44000);
    addVehicle("Weekend Car", 12050, "Mazda", "MX-5", 1994);
    addVehicle("Project", 42, "", "Mini", 0);
    launch();
    Image image = shot("vehicle-list");
    // The navigation bar carries the theme's tint (between the Sync button and the title).
    Color bar = at(image, 70, 40);
    EXPECT_LT(std::abs(bar.red - first().red) + std::abs(bar.green - first().green)
            + std::abs(bar.blue - first().blue),
        0.6);

    auto row = [&](int r) -> VehicleListTableViewCell& {
        return dynamic_cast<VehicleListTableViewCell&>(*root().table()->cellForRowAtIndexPath({0, r}));
    };
    VehicleListTableViewCell& daily = row(0);
    EXPECT_EQ(daily.modelLabel().text(), "2009 Ford Focus ");
    EXPECT_EQ(daily.odometer().value(), 48210);
    EXPECT_EQ(daily.accessoryType(), TableViewCellAccessoryType::DisclosureIndicator);
    EXPECT_EQ(daily.selectionStyle(), TableViewCellSelectionStyle::Gray);
    EXPECT_EQ(row(2).modelLabel().text(), "Mini ");
    EXPECT_TRUE(row(1).badgeView().isHidden());
    ASSERT_FALSE(daily.badgeView().isHidden());
    EXPECT_EQ(daily.badgeView().text(), "2");
    // At the right edge of the content, centred vertically; its red shows where it was placed.
    const Rect content = daily.contentView().bounds();
    EXPECT_DOUBLE_EQ(daily.badgeView().frame().maxX(), content.width() - 5);
    EXPECT_DOUBLE_EQ(daily.badgeView().frame().midY(), content.height() / 2);
    Rect badge = daily.badgeView().convertRectToView(daily.badgeView().badgeBounds(), nullptr);
    Color fill = at(image, badge.x() + badge.width() * 0.2, badge.midY());
    EXPECT_GT(fill.red, 0.5);
    EXPECT_LT(fill.green, 0.3);
}

INSTANTIATE_TEST_SUITE_P(Themes, AppRenderTest, testing::Values(0, 2));
