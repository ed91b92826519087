#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/Vehicle.h"
#include "platform/views/Button.h"
#include "ui/ThemedViewController.h"

class QLChartView;
class QLRoundedRectView;

// The base of the report screens: a strip of six period buttons above a chart, with a
// rounded highlight behind the selected one. Pressing a button selects its period and asks
// the subclass to rebuild its report (generateReport), even when it was selected already.
// The screen is titled with the car's name; the chart takes the theme's title colour, a
// half-white face and the no-data message, and the subclass adds what its kind needs.
//
// The screen turns with the phone (all but upside down). On its side the status and
// navigation bars are hidden so that the strip and the chart fill the screen, and the
// buttons take their long titles; upright, both bars come back. Everything is laid out from
// the view's bounds, so any screen size works.
class ChartViewController : public ThemedViewController {
public:
    // Period codes, the `filter` of the report queries.
    enum Period : int { kWeek = 1, kMonth, kThreeMonths, kSixMonths, kYear, kWholeHistory };
    static constexpr double kFilterHeight = 44;
    static constexpr const char* kNoDataMessage = "There is insufficient data to generate this report.";

    // The subclass's report code and its car.
    int report() const { return m_report; }
    const Vehicle& vehicle() const { return m_vehicle; }

    int selectedFilter() const { return m_selectedFilter; }
    platform::views::View& filterView() const { return *m_filterView; }
    QLRoundedRectView& filterButtonHighlight() const { return *m_filterButtonHighlight; }
    // The button of a period (tag 1 to 6), or none.
    platform::views::Button* filterButton(int tag) const;
    QLChartView& chartView() const { return *m_chartView; }

    void filterButtonPressed(platform::views::Control& button);
    // Fills the chart for the selected period and asks it to redraw.
    virtual void generateReport() { }
    // The buttons share the strip's width with 10-point gaps; titles follow the
    // orientation; the highlight goes to the selected button.
    void layoutFilterButtons();
    // Moves the highlight to the selected button (animated).
    void selectFilterButton();

    void viewDidLoad() override;
    void viewWillDisappear(bool animated) override;
    bool shouldAutorotateToInterfaceOrientation(platform::views::InterfaceOrientation orientation) override;
    void willRotateToInterfaceOrientation(
        platform::views::InterfaceOrientation orientation, double duration) override;
    void didRotateFromInterfaceOrientation(platform::views::InterfaceOrientation from) override;

protected:
    ChartViewController(const std::string& layoutName, int report, const Vehicle& vehicle);

    // The subclass's chart for the area under the strip; it follows the screen's size.
    virtual std::shared_ptr<QLChartView> makeChart(platform::views::Rect frame) = 0;

private:
    static void buildLayout(platform::views::ViewController& controller);
    void showBars(bool shown);

    int m_report;
    Vehicle m_vehicle;
    int m_selectedFilter {kWholeHistory};
    std::shared_ptr<platform::views::View> m_filterView;
    std::shared_ptr<QLRoundedRectView> m_filterButtonHighlight;
    std::vector<std::shared_ptr<platform::views::Button>> m_buttons;
    std::shared_ptr<QLChartView> m_chartView;
};
