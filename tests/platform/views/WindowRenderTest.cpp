// Frames composed by the window: size, layering and a few pixels that must be right.
// Set VANTREL_RENDER_DIR to keep the PNGs for a person to look at.

#include <cairo.h>
#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/base/Calendar.h"
#include "platform/base/Clock.h"
#include "platform/base/FileSystem.h"
#include "platform/graphics/ImageContext.h"
#include "platform/views/ActionSheet.h"
#include "platform/views/DemoScreens.h"
#include "platform/views/NavigationController.h"
#include "platform/views/StatusBar.h"
#include "support/AppDriver.h"

namespace vantrel::test {
namespace {

using namespace platform::views;
using platform::graphics::Image;

class WindowRender : public ::testing::Test {
protected:
    void SetUp() override {
        platform::Clock::setNow(platform::Calendar().dateFromComponents({2011, 5, 10, 9, 41, {}, {}}));
    }
    void launch(std::vector<std::string> cars, TableViewStyle style) {
        list = std::make_shared<DemoListViewController>(log, std::move(cars), style);
        nav = std::make_shared<NavigationController>(list);
        driver.launchWithRootViewController(nav);
    }
    // Writes the frame where a person can look at it (or into the sandbox).
    std::string keep(const std::string& name) {
        const char* dir = std::getenv("VANTREL_RENDER_DIR");
        std::string folder = dir ? dir : driver.sandbox().root();
        std::string path = platform::fs::joinPath(folder, name + ".png");
        EXPECT_TRUE(driver.renderPNG(path));
        return path;
    }

    AppDriver driver;
    std::shared_ptr<EventLog> log = std::make_shared<EventLog>();
    std::shared_ptr<DemoListViewController> list;
    std::shared_ptr<NavigationController> nav;
};

double brightness(const Color& c) {
    return (c.red + c.green + c.blue) / 3;
}

TEST_F(WindowRender, FrameIsTwiceThePointSizeWithStatusBarNavigationBarAndRows) {
    launch({"Civic", "Golf", "Polo"}, TableViewStyle::Plain);
    Image frame = driver.render();
    EXPECT_EQ(frame.pixelWidth(), 640);
    EXPECT_EQ(frame.pixelHeight(), 960);
    EXPECT_EQ(driver.window().statusBar().timeText().rfind("9:41", 0), 0u);
    // Status bar: light grey; navigation bar: the blue-grey tint; table: white rows.
    EXPECT_GT(brightness(frame.colorAtPoint({250, 10})), 0.6);
    Color bar = frame.colorAtPoint({250, 60});
    EXPECT_GT(bar.blue, bar.red);
    EXPECT_GT(brightness(frame.colorAtPoint({300, 300})), 0.95);
    keep("table-plain");
}

TEST_F(WindowRender, GroupedTableShowsGroupsOnTheGreyBackground) {
    launch({"Civic", "Golf", "Polo"}, TableViewStyle::Grouped);
    Image frame = driver.render();
    // Left margin: the grouped background; inside the group: white.
    Color margin = frame.colorAtPoint({4, 150});
    Color group = frame.colorAtPoint({160, 150});
    EXPECT_LT(brightness(margin), 0.9);
    EXPECT_GT(brightness(group), 0.97);
    keep("table-grouped");
}

TEST_F(WindowRender, FormWithNumberPadShowsTheKeyboard) {
    launch({"Civic"}, TableViewStyle::Plain);
    driver.tapRow(list->table(), 0, 0);
    driver.type(*list->lastForm->odometerField, "12045");
    Image frame = driver.render();
    // The pad's keys are light, the hairlines between them dark.
    EXPECT_GT(brightness(frame.colorAtPoint({190, 310})), 0.75);
    EXPECT_LT(brightness(frame.colorAtPoint({105.5, 300})), 0.5);
    keep("form-number-pad");
}

TEST_F(WindowRender, AlertDimsTheScreenBehindIt) {
    launch({"Civic"}, TableViewStyle::Plain);
    Image before = driver.render();
    driver.tapRow(list->table(), 0, 0);
    driver.pressRightBarButton();
    ASSERT_TRUE(driver.alert());
    Image frame = driver.render();
    // A corner of the screen is darker than the same kind of area without the alert.
    EXPECT_LT(brightness(frame.colorAtPoint({5, 470})), brightness(before.colorAtPoint({5, 470})) - 0.2);
    keep("alert-over-form");
}

TEST_F(WindowRender, ActionSheetRisesFromTheBottom) {
    launch({"Civic"}, TableViewStyle::Plain);
    auto sheet = std::make_shared<ActionSheet>("Picture", std::weak_ptr<ActionSheetDelegate>(), "Cancel",
        std::nullopt, std::vector<std::string> {"Take Photo", "Choose Existing Photo"});
    sheet->showInView(list->view().get());
    driver.runUntilIdle();
    driver.window().layoutIfNeeded();
    EXPECT_EQ(sheet->frame().maxY(), 480);
    EXPECT_EQ(driver.actionSheet(), sheet.get());
    keep("action-sheet");
    driver.tapActionSheetButton(2);
    EXPECT_EQ(driver.actionSheet(), nullptr);
}

TEST_F(WindowRender, EditModeAndSwipeShowTheirControls) {
    launch({"Civic", "Golf", "Polo"}, TableViewStyle::Plain);
    driver.swipeRow(list->table(), 0, 1);
    Image swiped = driver.render();
    // The red Delete button at the right of the swiped row (row 1 spans y 130..174).
    Color button = swiped.colorAtPoint({290, 152});
    EXPECT_GT(button.red, 0.6);
    EXPECT_LT(button.green, 0.4);
    keep("swipe-to-delete");
    driver.tapAt({100, 300});
    driver.pressRightBarButton();
    Image editing = driver.render();
    // The red minus control at the left of each editable row.
    Color minus = editing.colorAtPoint({17, 101});
    EXPECT_GT(minus.red, 0.6);
    EXPECT_LT(minus.green, 0.4);
    keep("table-editing");
}

TEST_F(WindowRender, BackgroundPatternTilesFromTheContentOrigin) {
    platform::graphics::ImageContext tileContext({10, 10}, true, 2);
    tileContext.context().setFillColor(Color::rgba(1, 0, 0));
    tileContext.context().fillRect(Rect(0, 0, 10, 5));
    tileContext.context().setFillColor(Color::rgba(0, 0, 1));
    tileContext.context().fillRect(Rect(0, 5, 10, 5));
    auto view = std::make_shared<View>(Rect(0, 0, 40, 40));
    view->setBackgroundPatternImage(tileContext.image());
    platform::graphics::ImageContext canvas({40, 40}, true, 2);
    view->renderInContext(canvas.context());
    Image drawn = canvas.image();
    EXPECT_GT(drawn.colorAtPoint({33, 22}).red, 0.9);
    EXPECT_GT(drawn.colorAtPoint({33, 27}).blue, 0.9);
    // Scrolled by 5 points, the stripes move with the content.
    view->setBounds(Rect(0, 5, 40, 40));
    platform::graphics::ImageContext scrolled({40, 40}, true, 2);
    view->renderInContext(scrolled.context());
    EXPECT_GT(scrolled.image().colorAtPoint({33, 22}).blue, 0.9);
}

// The pages get only what changed between frames, so a frame drawn into an old buffer must
// come out exactly as a fresh one, also where the window covers its last pixels only in part.
TEST_F(WindowRender, AFrameDrawnOverAnOldOneEqualsAFreshOne) {
    launch({"Civic", "Golf"}, TableViewStyle::Plain);
    const double scale = 2.0035; // 641.1 x 961.7 pixels
    Image old = driver.window().render(scale);
    cairo_t* cr = cairo_create(old.cairoSurface());
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    Image reused = driver.window().render(scale, std::move(old));
    Image fresh = driver.window().render(scale);
    ASSERT_EQ(reused.pixelWidth(), 642);
    ASSERT_EQ(reused.pixelHeight(), 962);
    ASSERT_EQ(fresh.pixelHeight(), 962);
    for (int y = 0; y < 962; ++y)
        for (int x : {0, 320, 640, 641})
            ASSERT_EQ(reused.pixelAt(x, y).hex(), fresh.pixelAt(x, y).hex()) << x << "," << y;
    for (int x = 0; x < 642; ++x)
        ASSERT_EQ(reused.pixelAt(x, 961).hex(), fresh.pixelAt(x, 961).hex()) << x;
}

// A parent's background is left out where opaque subviews cover it; wherever they do not
// cover a pixel whole (fractional edges, a clip through it, a gap, a translucent view), the
// picture must come out as if it had been filled.
TEST(ViewBackground, LeftOutUnderOpaqueSubviewsThePictureIsTheSame) {
    // The same colour painted by drawRect, which the parent cannot know covers anything.
    class Painted : public View {
    public:
        Painted(Rect frame, Color colour)
            : View(frame)
            , m_colour(colour) { }
        void drawRect(platform::graphics::Context& context, Rect) override {
            context.setFillColor(m_colour);
            context.fillRect(bounds());
        }

    private:
        Color m_colour;
    };
    auto build = [](bool opaque) {
        auto child = [&](Rect frame, Color colour) -> std::shared_ptr<View> {
            if (!opaque)
                return std::make_shared<Painted>(frame, colour);
            auto view = std::make_shared<View>(frame);
            view->setBackgroundColor(colour);
            return view;
        };
        auto root = std::make_shared<View>(Rect {0, 0, 100, 80});
        root->setBackgroundColor(Color {1, 0, 0, 1});
        root->addSubview(child({0, 0, 100, 20.1}, Color {0, 0, 1, 1}));
        root->addSubview(child({0, 20.1, 60, 59.9}, Color {0, 1, 0, 1}));
        root->addSubview(child({50, 30, 60, 10}, Color {0, 1, 1, 1})); // overlaps, reaches out
        auto faint = child({65, 25, 30, 30}, Color {1, 1, 0, 1});
        faint->setAlpha(0.5);
        root->addSubview(faint);
        // A clipping box on fractional pixels, its opaque content larger than itself.
        auto box = std::make_shared<View>(Rect {61.3, 57.7, 30.2, 15.45});
        box->setBackgroundColor(Color {1, 0, 1, 1});
        box->setClipsToBounds(true);
        box->addSubview(child({-5, -5, 40, 30}, Color {0.5, 0.5, 0.5, 1}));
        root->addSubview(box);
        // A parent larger than the clip around it, covered whole by its child.
        auto window = std::make_shared<View>(Rect {3.3, 44.4, 20.5, 20.25});
        window->setClipsToBounds(true);
        auto parent = std::make_shared<View>(Rect {-10, -10, 60, 60});
        parent->setBackgroundColor(Color {1, 0.5, 0, 1});
        parent->addSubview(child({0, 0, 60, 60}, Color {0.2, 0.2, 0.2, 1}));
        window->addSubview(parent);
        root->addSubview(window);
        return root;
    };
    for (double scale : {1.0, 2.0, 3.65625}) {
        platform::graphics::ImageContext left({100, 80}, true, scale), right({100, 80}, true, scale);
        build(true)->renderInContext(left.context());
        build(false)->renderInContext(right.context());
        Image a = left.image(), b = right.image();
        for (int y = 0; y < a.pixelHeight(); ++y)
            for (int x = 0; x < a.pixelWidth(); ++x)
                ASSERT_EQ(a.pixelAt(x, y).hex(), b.pixelAt(x, y).hex()) << scale << ": " << x << "," << y;
    }
}

} // namespace
} // namespace vantrel::test
