// A whole frame of a table screen: status bar, navigation bar with buttons, and ten
// visible rows with a title and a detail text, composed at scale 2 (640 x 960 pixels).

#include <benchmark/benchmark.h>

#include "platform/base/RunLoop.h"
#include "platform/graphics/ImageContext.h"
#include "platform/views/Application.h"
#include "platform/views/Label.h"
#include "platform/views/NavigationController.h"
#include "platform/views/TableViewController.h"
#include "platform/views/Window.h"

namespace {

using namespace platform::views;

class Rows : public TableViewController {
public:
    int numberOfRowsInSection(TableView&, int) override { return 40; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, IndexPath ip) override {
        auto cell = table.dequeueReusableCellWithIdentifier("row");
        if (!cell)
            cell = std::make_shared<TableViewCell>(TableViewCellStyle::Subtitle, "row");
        cell->textLabel().setText("Oil change " + std::to_string(ip.row + 1));
        cell->detailTextLabel()->setText("Due in 1,200 miles or 45 days");
        cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        return cell;
    }
};

struct Screen {
    Screen() {
        Application::sharedApplication().reset();
        rows = std::make_shared<Rows>();
        rows->setTitle("Services");
        rows->navigationItem().setRightBarButtonItem(
            std::make_shared<BarButtonItem>(BarButtonSystemItem::Add));
        nav = std::make_shared<NavigationController>(std::make_shared<ViewController>());
        window = std::make_shared<Window>();
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
        nav->pushViewController(rows, false);
        window->layoutIfNeeded();
    }
    ~Screen() { Application::sharedApplication().reset(); }
    std::shared_ptr<Rows> rows;
    std::shared_ptr<NavigationController> nav;
    std::shared_ptr<Window> window;
};

void RenderTableFrame(benchmark::State& state) {
    Screen screen;
    state.counters["visibleRows"] = double(screen.rows->tableView().visibleCells().size());
    for (auto _ : state) {
        auto image = screen.window->render(2);
        benchmark::DoNotOptimize(image);
    }
    platform::RunLoop::main().reset();
}
BENCHMARK(RenderTableFrame)->Unit(benchmark::kMillisecond);

// Scrolling by a row and rendering: cells come from the reuse pool.
void ScrollAndRenderTableFrame(benchmark::State& state) {
    Screen screen;
    TableView& table = screen.rows->tableView();
    double y = 0;
    for (auto _ : state) {
        y = y > 1000 ? 0 : y + 44;
        table.setContentOffset({0, y});
        auto image = screen.window->render(2);
        benchmark::DoNotOptimize(image);
    }
    platform::RunLoop::main().reset();
}
BENCHMARK(ScrollAndRenderTableFrame)->Unit(benchmark::kMillisecond);

} // namespace
