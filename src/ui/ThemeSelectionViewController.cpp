#include "ui/ThemeSelectionViewController.h"

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/QLRoundedRectView.h"
#include "model/SettingsManager.h"
#include "platform/base/SharedFrom.h"
#include "platform/views/Screen.h"
#include "ui/Theme.h"
#include "ui/ThemedView.h"

using namespace platform::views;

namespace {

constexpr double kSwatchSize = 56;
constexpr double kSwatchStep = 62.5;
constexpr double kSwatchStart = 6.5;
constexpr double kLastColumnLimit = 251;

// The screen's layout: a themed background filled by the swatch scroll view.
void buildLayout(ViewController& controller) {
    auto& screen = static_cast<ThemeSelectionViewController&>(controller);
    auto background = std::make_shared<ThemedView>(Screen::mainScreen().contentBounds());
    background->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    auto scrollView = std::make_shared<MultiTouchScrollView>(background->bounds());
    scrollView->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    scrollView->setBackgroundColor(Color::clear());
    background->addSubview(scrollView);
    screen.setView(background);
    screen.setScrollView(scrollView);
}

} // namespace

ThemeSelectionViewController::ThemeSelectionViewController()
    : ThemedViewController(kLayoutName, buildLayout) {
    setTitle("Theme Color");
}

double ThemeSelectionViewController::layoutSwatches(
    std::vector<std::shared_ptr<QLRoundedRectView>>& swatches) {
    double x = kSwatchStart, y = kSwatchStart;
    for (auto& swatch : swatches) {
        swatch->setFrame({x, y, kSwatchSize, kSwatchSize});
        if (x < kLastColumnLimit) {
            x += kSwatchStep;
        } else {
            x = kSwatchStart;
            y += kSwatchStep;
        }
    }
    return y;
}

void ThemeSelectionViewController::viewDidLoad() {
    ThemedViewController::viewDidLoad();
    if (!m_scrollView)
        return;
    std::vector<std::shared_ptr<QLRoundedRectView>> swatches;
    for (int row = 0; row < kThemeCount; ++row) {
        const Theme& theme = kThemes[size_t(row)];
        auto swatch = std::make_shared<QLRoundedRectView>(Rect(0, 0, kSwatchSize, kSwatchSize));
        swatch->setBackgroundColor(colorWithHex(theme.third));
        swatch->setStrokeColor(colorWithHex(theme.first));
        swatch->setStrokeSize(5);
        swatch->setDrawShadow(false);
        swatch->setTag(row + 1);
        swatches.push_back(swatch);
    }
    const double height = layoutSwatches(swatches);
    for (auto& swatch : swatches)
        m_scrollView->addSubview(swatch);
    m_scrollView->setContentSize({m_scrollView->bounds().width(), height});
    m_scrollView->setMultiTouchDelegate(platform::sharedFrom(this));
}

void ThemeSelectionViewController::subViewTouched(View& view) {
    const int theme = view.tag() - 1;
    if (theme < 0 || theme >= kThemeCount)
        return;
    setSelectedTheme(theme, this);
    SettingsManager::sharedManager().setThemeIndex(theme);
}
