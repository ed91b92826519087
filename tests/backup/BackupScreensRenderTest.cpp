#include <gtest/gtest.h>

#include "backup/BackupScreensTestSupport.h"
#include "model/SettingsManager.h"
#include "platform/graphics/Image.h"
#include "ui/ViewExtensions.h"

using namespace vantrel::test;
using namespace platform::views;
using Section = SyncViewController::Section;

namespace {

// The backup screens as a person sees them, in a theme without and one with the header colour.
// With $VANTREL_RENDER_DIR set each is kept as "<screen>-theme-<n>.png".
class BackupScreensRenderTest : public BackupScreensTest, public testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        BackupScreensTest::SetUp();
        SettingsManager::sharedManager().setThemeIndex(GetParam());
    }
    platform::graphics::Image shot(const std::string& name) {
        keepScreen(name + "-theme-" + std::to_string(GetParam()));
        return driver().render();
    }
};

} // namespace

TEST_P(BackupScreensRenderTest, TheThreeScreensAndTheBusyOverlay) {
    addVehicle("Daily Driver", 48210, "Ford", "Focus", 2009);
    launch();
    auto& fresh = openDataBackup();
    shot("data-backup-unregistered");
    tap(fresh, Section::Account);
    shot("setup-unregistered");
    driver().pressBack();
    driver().pressBack();

    registerDevice();
    auto& sync = openDataBackup();
    backUp(sync);
    backUp(sync);
    shot("data-backup");
    tap(sync, Section::Account);
    shot("setup-registered");
    driver().pressBack();

    client().setBaseAddress(gate().baseURL());
    gate().hold("getfile");
    auto& list = openBackupList(sync);
    shot("backup-list");
    driver().tapRow(*list.tableView(), 0, 1);
    shot("confirm-restore");
    driver().dismissAlert(1);
    ASSERT_TRUE(waitFor([this] { return gate().waiting("getfile") == 1; }));
    driver().runUntilIdle();
    auto image = shot("busy-restoring");

    // A dark panel in the middle of the window, its text under the spinner.
    View* panel = driver().window().viewWithTag(kBusyOverlayTag);
    ASSERT_TRUE(panel);
    const Rect frame = panel->frame();
    EXPECT_NEAR(frame.midX(), driver().window().bounds().midX(), 1);
    EXPECT_NEAR(frame.midY(), driver().window().bounds().midY(), 1);
    EXPECT_EQ(frame.height(), 96);
    const auto dark = image.colorAtPoint({frame.x() + 6, frame.midY()});
    EXPECT_LT(dark.red + dark.green + dark.blue, 0.9);

    gate().release("getfile");
    answerAlert("Vantrel", "Restore completed successfully.");
    settle();
}

INSTANTIATE_TEST_SUITE_P(Themes, BackupScreensRenderTest, testing::Values(0, 2));
