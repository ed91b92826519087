#pragma once

#include <memory>

#include "ui/MultiTouchScrollView.h"
#include "ui/ThemedViewController.h"

class QLRoundedRectView;

// "Theme Color": a grid of one swatch per theme, five to a row, in a scroll view. Tapping a
// swatch selects its theme (stored as themeIndex) and the screen repaints at once.
class ThemeSelectionViewController : public ThemedViewController, public MultiTouchScrollViewDelegate {
public:
    // Built by the layout "ThemeSelectionViewController".
    ThemeSelectionViewController();

    const std::shared_ptr<MultiTouchScrollView>& scrollView() const { return m_scrollView; }
    void setScrollView(std::shared_ptr<MultiTouchScrollView> scrollView) {
        m_scrollView = std::move(scrollView);
    }

    // Swatch frames: from (6.5, 6.5), 62.5 apart, five to a row; answers the content
    // height (the last y), 444 for the 35 themes.
    static double layoutSwatches(std::vector<std::shared_ptr<QLRoundedRectView>>& swatches);

    void viewDidLoad() override;
    void subViewTouched(platform::views::View& view) override;

    static constexpr const char* kLayoutName = "ThemeSelectionViewController";

private:
    std::shared_ptr<MultiTouchScrollView> m_scrollView;
};
