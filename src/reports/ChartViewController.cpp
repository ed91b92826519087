#include "reports/ChartViewController.h"

#include <array>

#include "QLCoreLibrary/ImageExtensions.h"
#include "QLCoreLibrary/QLRoundedRectView.h"
#include "platform/graphics/Font.h"
#include "platform/views/Application.h"
#include "platform/views/Label.h"
#include "platform/views/NavigationController.h"
#include "platform/views/Screen.h"
#include "reports/QLChartView.h"
#include "ui/ShadowView.h"
#include "ui/ThemedView.h"

using namespace platform::views;

namespace {

constexpr int kFilterCount = 6;
// Buttons and highlight sit 2 points inside the strip, like the tab bar's.
constexpr double kButtonInset = 2;

struct PeriodTitles {
    const char* portrait;
    const char* landscape;
};

constexpr std::array<PeriodTitles, kFilterCount> kPeriodTitles {{
    {"1w", "1 Week"},
    {"1m", "1 Month"},
    {"3m", "3 Months"},
    {"6m", "6 Months"},
    {"1y", "1 Year"},
    {"All", "All"},
}};

} // namespace

ChartViewController::ChartViewController(const std::string& layoutName, int report, const Vehicle& vehicle)
    : ThemedViewController(layoutName, buildLayout)
    , m_report(report)
    , m_vehicle(vehicle) { }

// The strip along the top with its highlight and buttons, the chart in the rest; both follow
// the screen's width, the chart its height too.
void ChartViewController::buildLayout(ViewController& controller) {
    Rect bounds = Screen::mainScreen().contentBounds();
    auto background = std::make_shared<ThemedView>(bounds);
    background->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    controller.setView(background);
    auto* screen = dynamic_cast<ChartViewController*>(&controller);
    if (!screen)
        return;

    auto strip = std::make_shared<View>(Rect(0, 0, bounds.width(), kFilterHeight));
    strip->setAutoresizingMask(AutoresizingFlexibleWidth);
    const Rect buttonFrame(0, kButtonInset, 0, kFilterHeight - 2 * kButtonInset);
    auto highlight = std::make_shared<QLRoundedRectView>(buttonFrame);
    strip->addSubview(highlight);
    for (int tag = 1; tag <= kFilterCount; ++tag) {
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame(buttonFrame);
        button->setTag(tag);
        button->setTitle(kPeriodTitles[size_t(tag - 1)].portrait);
        button->setTitleColor(Color::whiteColor());
        button->setTitleShadowColor(Color::black());
        button->titleLabel().setFont(platform::graphics::Font::boldSystemFontOfSize(12));
        button->titleLabel().setShadowOffset({1, 1});
        strip->addSubview(button);
        screen->m_buttons.push_back(button);
    }
    background->addSubview(strip);

    auto chart = screen->makeChart(Rect(0, kFilterHeight, bounds.width(), bounds.height() - kFilterHeight));
    chart->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    background->addSubview(chart);

    screen->m_filterView = strip;
    screen->m_filterButtonHighlight = highlight;
    screen->m_chartView = chart;
}

Button* ChartViewController::filterButton(int tag) const {
    for (const auto& button : m_buttons) {
        if (button->tag() == tag)
            return button.get();
    }
    return nullptr;
}

void ChartViewController::viewDidLoad() {
    ThemedViewController::viewDidLoad();
    setTitle(m_vehicle.name);
    m_selectedFilter = kWholeHistory;
    m_filterView->setBackgroundPatternImage(
        stretchableGlossyImageWithColor(firstColor(), m_filterView->frame().height(), 0));
    m_filterButtonHighlight->setFillPattern(
        stretchableGlossyImageWithColor(thirdColor(), m_filterButtonHighlight->frame().height(), 0));
    m_filterButtonHighlight->setCornerRadius(10);
    for (const auto& button : m_buttons)
        button->addTarget(action(&ChartViewController::filterButtonPressed), ControlEventTouchUpInside);
    layoutFilterButtons();
    m_chartView->setTitleColor(firstColor());
    m_chartView->setGradientColor(Color::white(1, 0.5));
    m_chartView->setBackgroundColor(Color::white(1, 0.5));
    m_chartView->setNoDataMessage(kNoDataMessage);
}

void ChartViewController::filterButtonPressed(Control& button) {
    if (button.tag() < 1 || button.tag() > kFilterCount)
        return;
    m_selectedFilter = button.tag();
    selectFilterButton();
    generateReport();
}

void ChartViewController::layoutFilterButtons() {
    const bool portrait = !isLandscape(interfaceOrientation());
    View::animate(0.25, AnimationCurve::EaseOut, [this, portrait] {
        const double width = (m_filterView->bounds().width() - 70) / kFilterCount;
        double x = 0;
        for (int tag = 1; tag <= kFilterCount; ++tag) {
            Button* button = filterButton(tag);
            Rect frame = button->frame();
            button->setFrame({x + 10, frame.y(), width, frame.height()});
            x += width + 10;
            if (tag == m_selectedFilter)
                m_filterButtonHighlight->setFrame(button->frame());
            const PeriodTitles& titles = kPeriodTitles[size_t(tag - 1)];
            button->setTitle(portrait ? titles.portrait : titles.landscape);
        }
    });
}

void ChartViewController::selectFilterButton() {
    Button* button = filterButton(m_selectedFilter);
    if (!button)
        return;
    Rect target = button->frame();
    auto highlight = m_filterButtonHighlight;
    View::animate(0.25, AnimationCurve::EaseOut, [highlight, target] { highlight->setFrame(target); });
}

bool ChartViewController::shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) {
    return orientation != InterfaceOrientation::PortraitUpsideDown;
}

void ChartViewController::willRotateToInterfaceOrientation(InterfaceOrientation orientation, double) {
    showBars(orientation == InterfaceOrientation::Portrait);
}

void ChartViewController::didRotateFromInterfaceOrientation(InterfaceOrientation) {
    layoutFilterButtons();
}

void ChartViewController::viewWillDisappear(bool animated) {
    ThemedViewController::viewWillDisappear(animated);
    // Should the screen go while on its side, the next one gets its bars back.
    if (isLandscape(interfaceOrientation()))
        showBars(true);
}

void ChartViewController::showBars(bool shown) {
    Application::sharedApplication().setStatusBarHidden(!shown);
    if (NavigationController* navigation = navigationController())
        navigation->setNavigationBarHidden(!shown);
    // The shadow belongs under the navigation bar.
    if (topShadowView())
        topShadowView()->setHidden(!shown);
}
