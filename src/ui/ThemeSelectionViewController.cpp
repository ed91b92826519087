#include "ui/ThemeSelectionViewController.h"

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/QLRoundedRectView.h"
#include "model/SettingsManager.h"
#include "platform/views/LayoutRegistry.h"
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
    auto background = std::make_shared<ThemedView>(Rect(0, 0, 320, 416));
    background->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    auto scrollView = std::make_shared<MultiTouchScrollView>(background->bounds());
    scrollView->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    scrollView->setBackgroundColor(Color::clear());
    background->addSubview(scrollView);
    screen.setView(background);
    screen.setScrollView(scrollView);
}

} // namespace

ThemeSelectionViewController::ThemeSelectionViewController() {
    // Registered on first use: a static initialiser in a static library may never be linked.
    if (!LayoutRegistry::hasLayout(kLayoutName))
        LayoutRegistry::registerLayout(kLayoutName, buildLayout);
    setLayout(LayoutRegistry::layoutNamed(kLayoutName));
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
    m_scrollView->setContentSize({320, height});
    m_scrollView->setMultiTouchDelegate(this);
}

void ThemeSelectionViewController::subViewTouched(View& view) {
    const int theme = view.tag() - 1;
    if (theme < 0 || theme >= kThemeCount)
        return;
    setSelectedTheme(theme, this);
    SettingsManager::sharedManager().setThemeIndex(theme);
}
