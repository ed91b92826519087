#include <gtest/gtest.h>

#include "platform/base/Clock.h"
#include "platform/base/RunLoop.h"
#include "platform/views/Application.h"
#include "platform/views/Label.h"
#include "platform/views/TableView.h"
#include "platform/views/TableViewController.h"
#include "support/AppDriver.h"

namespace vantrel::test {
namespace {

using namespace platform::views;

// A table of numbered rows in sections, with knobs for the delegate's answers.
class Numbers : public TableViewController {
public:
    explicit Numbers(std::vector<int> rows, TableViewStyle style = TableViewStyle::Plain)
        : TableViewController(style)
        , rows(std::move(rows)) { }
    std::vector<int> rows;
    std::map<int, double> heights;
    std::optional<IndexPath> redirect;
    bool refuseSelection = false;
    std::vector<IndexPath> selected;
    std::vector<IndexPath> displayed;
    std::vector<IndexPath> accessoryTaps;
    int made = 0;

    int numberOfSectionsInTableView(TableView&) override { return int(rows.size()); }
    int numberOfRowsInSection(TableView&, int section) override { return rows[section]; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, IndexPath ip) override {
        auto cell = table.dequeueReusableCellWithIdentifier("n");
        if (!cell) {
            cell = std::make_shared<TableViewCell>(TableViewCellStyle::Value1, "n");
            ++made;
        }
        cell->textLabel().setText(ip.description());
        cell->setAccessoryType(ip.row == 0 ? TableViewCellAccessoryType::DetailDisclosureButton
                                           : TableViewCellAccessoryType::None);
        return cell;
    }
    std::optional<std::string> titleForHeaderInSection(TableView&, int section) override {
        return section == 0 ? std::optional<std::string>("First") : std::nullopt;
    }
    double heightForRowAtIndexPath(TableView& table, IndexPath ip) override {
        auto it = heights.find(ip.row);
        return it == heights.end() ? TableViewDelegate::heightForRowAtIndexPath(table, ip) : it->second;
    }
    std::optional<IndexPath> willSelectRowAtIndexPath(TableView&, IndexPath ip) override {
        if (refuseSelection)
            return std::nullopt;
        return redirect ? redirect : ip;
    }
    void didSelectRowAtIndexPath(TableView&, IndexPath ip) override { selected.push_back(ip); }
    void willDisplayCell(TableView&, TableViewCell&, IndexPath ip) override { displayed.push_back(ip); }
    void accessoryButtonTappedForRowWithIndexPath(TableView&, IndexPath ip) override {
        accessoryTaps.push_back(ip);
    }
};

class TableTest : public ::testing::Test {
protected:
    void launch(std::vector<int> rows, TableViewStyle style = TableViewStyle::Plain) {
        screen = std::make_shared<Numbers>(std::move(rows), style);
        driver.launchWithRootViewController(screen);
    }
    TableView& table() { return screen->tableView(); }

    AppDriver driver;
    std::shared_ptr<Numbers> screen;
};

TEST_F(TableTest, GeometryStacksHeadersRowsAndFooters) {
    launch({3, 2});
    screen->heights[1] = 80;
    table().reloadData();
    EXPECT_EQ(table().rectForHeaderInSection(0), Rect(0, 0, 320, 22));
    EXPECT_EQ(table().rectForRowAtIndexPath({0, 0}), Rect(0, 22, 320, 44));
    EXPECT_EQ(table().rectForRowAtIndexPath({0, 1}), Rect(0, 66, 320, 80));
    // No title: no header in a plain table.
    EXPECT_EQ(table().rectForHeaderInSection(1).height(), 0);
    EXPECT_EQ(table().rectForRowAtIndexPath({1, 0}).y(), 22 + 44 + 80 + 44);
    // Row 1 of every section is 80 high.
    EXPECT_EQ(table().contentSize().height, 22 + 44 + 80 + 44 + 44 + 80);
    EXPECT_EQ(table().indexPathForRowAtPoint({5, 100}), (IndexPath {0, 1}));
    EXPECT_FALSE(table().indexPathForRowAtPoint({5, 10}));
    EXPECT_FALSE(table().indexPathForRowAtPoint({5, 5000}));
}

TEST_F(TableTest, GroupedRowsAreInsetIntoGroups) {
    launch({3}, TableViewStyle::Grouped);
    TableViewCell* cell = table().cellForRowAtIndexPath({0, 1});
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->frame().x(), 10);
    EXPECT_EQ(cell->frame().width(), 300);
    EXPECT_EQ(cell->groupPosition(), TableViewCell::GroupPosition::Middle);
    EXPECT_EQ(table().cellForRowAtIndexPath({0, 0})->groupPosition(), TableViewCell::GroupPosition::Top);
    EXPECT_EQ(table().cellForRowAtIndexPath({0, 2})->groupPosition(), TableViewCell::GroupPosition::Bottom);
    // The header title sits above the group.
    EXPECT_GT(table().rectForHeaderInSection(0).height(), 30);
    EXPECT_NE(table().headerViewForSection(0), nullptr);
}

TEST_F(TableTest, OnlyVisibleRowsGetCellsAndScrolledAwayCellsAreReused) {
    launch({1000});
    EXPECT_EQ(table().visibleCells().size(), 10u); // 460 points of 44-point rows under a header
    int madeAtStart = screen->made;
    table().scrollToRowAtIndexPath({0, 600}, TableViewScrollPosition::Top, false);
    auto visible = table().indexPathsForVisibleRows();
    ASSERT_FALSE(visible.empty());
    EXPECT_EQ(visible.front(), (IndexPath {0, 600}));
    // One more row fits without the header in the way; the rest came from the pool.
    EXPECT_LE(screen->made, madeAtStart + 1);
    EXPECT_EQ(table().cellForRowAtIndexPath({0, 0}), nullptr);
    EXPECT_EQ(table().cellForRowAtIndexPath({0, 602})->textLabel().text(), "[0, 602]");
    // The floating header stays at the top of the view.
    View* header = table().headerViewForSection(0);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->frame().y(), table().contentOffset().y);
}

TEST_F(TableTest, SelectionAsksTheDelegateAndStaysUntilDeselected) {
    launch({5});
    driver.tapRow(table(), 0, 2);
    EXPECT_EQ(screen->selected, (std::vector<IndexPath> {{0, 2}}));
    EXPECT_EQ(table().indexPathForSelectedRow(), (IndexPath {0, 2}));
    EXPECT_TRUE(table().cellForRowAtIndexPath({0, 2})->isSelected());
    EXPECT_TRUE(table().cellForRowAtIndexPath({0, 2})->textLabel().isHighlighted());
    screen->redirect = IndexPath {0, 4};
    driver.tapRow(table(), 0, 1);
    EXPECT_EQ(screen->selected.back(), (IndexPath {0, 4}));
    EXPECT_FALSE(table().cellForRowAtIndexPath({0, 2})->isSelected());
    screen->refuseSelection = true;
    driver.tapRow(table(), 0, 3);
    EXPECT_EQ(screen->selected.size(), 2u);
    table().deselectRowAtIndexPath({0, 4}, true);
    EXPECT_FALSE(table().indexPathForSelectedRow());
    EXPECT_FALSE(table().cellForRowAtIndexPath({0, 4})->isSelected());
}

TEST_F(TableTest, DetailDisclosureButtonTellsTheDelegate) {
    launch({2});
    TableViewCell* cell = table().cellForRowAtIndexPath({0, 0});
    ASSERT_NE(cell->accessoryControl(), nullptr);
    driver.tap(*cell->accessoryControl());
    EXPECT_EQ(screen->accessoryTaps, (std::vector<IndexPath> {{0, 0}}));
    EXPECT_TRUE(screen->selected.empty());
}

TEST_F(TableTest, ADeletionTheModelDoesNotShowReloadsInstead) {
    launch({4});
    // The model still has four rows: the table keeps showing four rather than failing.
    table().deleteRowsAtIndexPaths({{0, 1}}, TableViewRowAnimation::Fade);
    EXPECT_EQ(table().numberOfRowsInSection(0), 4);
    screen->rows[0] = 3;
    table().deleteRowsAtIndexPaths({{0, 1}}, TableViewRowAnimation::Fade);
    EXPECT_EQ(table().numberOfRowsInSection(0), 3);
    screen->rows[0] = 5;
    table().beginUpdates();
    table().insertRowsAtIndexPaths({{0, 0}, {0, 1}}, TableViewRowAnimation::Top);
    table().endUpdates();
    EXPECT_EQ(table().numberOfRowsInSection(0), 5);
    EXPECT_EQ(table().cellForRowAtIndexPath({0, 4})->textLabel().text(), "[0, 4]");
}

TEST_F(TableTest, ReloadingRowsAsksForThemAgain) {
    launch({3});
    table().layoutIfNeeded();
    screen->displayed.clear();
    table().reloadRowsAtIndexPaths({{0, 1}}, TableViewRowAnimation::None);
    table().layoutIfNeeded();
    EXPECT_EQ(screen->displayed, (std::vector<IndexPath> {{0, 1}}));
    // A shorter model after reloadData pulls the view back inside the content.
    screen->rows[0] = 200;
    table().reloadData();
    table().scrollToRowAtIndexPath({0, 199}, TableViewScrollPosition::Bottom, false);
    screen->rows[0] = 2;
    table().reloadData();
    table().layoutIfNeeded();
    EXPECT_EQ(table().contentOffset().y, 0);
    EXPECT_EQ(table().visibleCells().size(), 2u);
}

TEST_F(TableTest, ScrollingByDragBouncesBackInside) {
    launch({30});
    // Pulling down at the top stretches, then snaps back.
    driver.drag({160, 200}, {160, 350});
    EXPECT_EQ(table().contentOffset().y, 0);
    driver.drag({160, 400}, {160, 100});
    EXPECT_EQ(table().contentOffset().y, 300);
    table().setBounces(false);
    driver.drag({160, 400}, {160, 20});
    driver.drag({160, 400}, {160, 20});
    driver.drag({160, 400}, {160, 20});
    EXPECT_EQ(table().contentOffset().y, table().maximumContentOffset().y);
}

TEST_F(TableTest, AFlickGlidesOnUntilItStopsAndAFingerStopsItWithoutSelecting) {
    launch({60});
    ScrollView::setFlicksGlide(true);
    struct Off {
        ~Off() { ScrollView::setFlicksGlide(false); }
    } off;
    platform::Clock::setNow(platform::Date(1e8));
    Application& app = Application::sharedApplication();
    auto flick = [&] {
        app.touchDown({160, 400});
        for (int step = 1; step <= 6; ++step) {
            platform::Clock::advance(0.016);
            app.touchMove({160, 400 - 20.0 * step}); // 1250 points a second
        }
        app.touchUp({160, 280});
    };
    auto frame = [&] {
        platform::Clock::advance(1.0 / 60);
        platform::RunLoop::main().runUntilIdle();
    };

    flick();
    const double lifted = table().contentOffset().y;
    ASSERT_TRUE(table().isDecelerating());
    int frames = 0;
    while (table().isDecelerating() && frames < 600) {
        frame();
        ++frames;
    }
    // About a third of a second's worth of the speed, slowing all the way, and then still.
    EXPECT_NEAR(table().contentOffset().y - lifted, 1250 / 3.0, 60);
    EXPECT_GT(frames, 30);
    EXPECT_LT(frames, 180);

    // A finger on the gliding list stops it where it is; that tap opens nothing.
    flick();
    frame();
    app.touchDown({160, 200});
    app.touchUp({160, 200});
    const double stopped = table().contentOffset().y;
    EXPECT_FALSE(table().isDecelerating());
    frame();
    EXPECT_EQ(table().contentOffset().y, stopped);
    EXPECT_TRUE(screen->selected.empty());
    // The next tap does.
    driver.tapAt({160, 200});
    EXPECT_EQ(screen->selected.size(), 1u);

    // A finger that stops before it lifts does not fling.
    app.touchDown({160, 400});
    for (int step = 1; step <= 6; ++step) {
        platform::Clock::advance(0.016);
        app.touchMove({160, 400 - 20.0 * step});
    }
    platform::Clock::advance(0.2);
    app.touchUp({160, 280});
    EXPECT_FALSE(table().isDecelerating());
}

} // namespace
} // namespace vantrel::test
