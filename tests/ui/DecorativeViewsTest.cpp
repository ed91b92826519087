// Small views that give the screens their finish.

#include "QLCoreLibrary/QLRoundedRectView.h"
#include "ui/LabelExtensions.h"
#include "ui/MetalView.h"
#include "ui/MultiTouchScrollView.h"
#include "ui/ShadowView.h"
#include "ui/VTPlainCellBackgroundView.h"

#include "ui/KitTestSupport.h"

using namespace platform::views;
using platform::graphics::Font;
using vantrel::test::KitTest;

namespace {

using DecorativeViews = KitTest;

double brightness(const Color& c) {
    return (c.red + c.green + c.blue) / 3;
}

class TouchedRecorder : public MultiTouchScrollViewDelegate {
public:
    void subViewTouched(View& view) override { tags.push_back(view.tag()); }
    std::vector<int> tags;
};

} // namespace

TEST_F(DecorativeViews, ShadowDarkensOnlyTheTopEdge) {
    ShadowView shadow(Rect(0, 0, 320, 13));
    EXPECT_FALSE(shadow.isOpaque());
    auto picture = render(shadow, "shadow-view");
    const double top = picture.colorAtPoint({160, 0.5}).alpha;
    const double bottom = picture.colorAtPoint({160, 12.5}).alpha;
    EXPECT_GT(top, 0.05);
    EXPECT_LT(bottom, top);
    // Only the shadow falls inside: no white block.
    EXPECT_LT(brightness(picture.colorAtPoint({160, 0.5})), 0.2);
}

TEST_F(DecorativeViews, MetalPanelIsAGreyGradientWithEdges) {
    MetalView metal(Rect(0, 0, 100, 50));
    auto picture = render(metal, "metal-view");
    EXPECT_GT(brightness(picture.colorAtPoint({50, 3})), brightness(picture.colorAtPoint({50, 45})));
    EXPECT_NEAR(brightness(picture.colorAtPoint({50, 0.25})), 1, 0.02);
    EXPECT_NEAR(brightness(picture.colorAtPoint({50, 42})), 0xCC / 255.0, 0.02);
}

TEST_F(DecorativeViews, PlainCellBackgroundHasASeparatorAlongTheBottom) {
    VTPlainCellBackgroundView cell(Rect(0, 0, 320, 44));
    EXPECT_FALSE(cell.isOpaque());
    cell.setBackgroundColor(Color::white(1, 0.35));
    cell.setStrokeColor(Color::rgba(1, 0, 0));
    auto picture = render(cell, "plain-cell-background");
    const Color fill = picture.colorAtPoint({160, 20});
    EXPECT_NEAR(fill.alpha, 0.35, 0.02); // filled once, not twice
    const Color separator = picture.colorAtPoint({160, 43.75});
    EXPECT_GT(separator.red, 0.9);
    EXPECT_LT(separator.green, 0.4);
}

TEST_F(DecorativeViews, RoundedRectGeometry) {
    QLRoundedRectView panel(Rect(0, 0, 96, 96));
    panel.setCornerRadius(200);
    EXPECT_EQ(panel.panelRect(), Rect(0, 0, 96, 96));
    EXPECT_DOUBLE_EQ(panel.effectiveCornerRadius(), 48); // full semicircular ends
    panel.setDrawShadow(true);
    panel.setStrokeSize(5);
    EXPECT_EQ(panel.panelRect(), Rect(9, 9, 78, 78));
    EXPECT_DOUBLE_EQ(panel.effectiveCornerRadius(), 39);
}

TEST_F(DecorativeViews, RoundedRectPictures) {
    QLRoundedRectView swatch(Rect(0, 0, 56, 56));
    swatch.setBackgroundColor(Color::fromHex(0xA0C4EB));
    swatch.setStrokeColor(Color::fromHex(0x3781DF));
    swatch.setStrokeSize(5);
    auto picture = render(swatch, "rounded-swatch");
    EXPECT_EQ(picture.colorAtPoint({5.5, 5.5}).alpha, 0); // outside the rounded corner
    EXPECT_NEAR(picture.colorAtPoint({28, 28}).blue, 0xEB / 255.0, 0.02); // the fill
    EXPECT_NEAR(picture.colorAtPoint({28, 5.5}).red, 0x37 / 255.0, 0.05); // the border

    QLRoundedRectView pill(Rect(0, 0, 120, 40));
    pill.setBackgroundColor(Color::white(0, 0.8));
    pill.setCornerRadius(100);
    pill.setDrawShadow(true);
    auto shaded = render(pill, "rounded-pill-shadow");
    EXPECT_GT(shaded.colorAtPoint({60, 2}).alpha, 0.02); // the shadow in the margin
    // The panel's own alpha, darkened a little by the shadow behind it.
    EXPECT_GE(shaded.colorAtPoint({60, 20}).alpha, 0.79);
}

TEST_F(DecorativeViews, ScrollViewReportsTheTappedSubview) {
    auto scroll = std::make_shared<MultiTouchScrollView>(Rect(0, 20, 320, 200));
    scroll->setContentSize({320, 800});
    auto recorder = std::make_shared<TouchedRecorder>();
    scroll->setMultiTouchDelegate(recorder);
    auto swatch = std::make_shared<QLRoundedRectView>(Rect(10, 10, 50, 50));
    swatch->setTag(4);
    auto inner = std::make_shared<View>(Rect(5, 5, 10, 10));
    inner->setTag(9);
    swatch->addSubview(inner);
    scroll->addSubview(swatch);
    content().addSubview(scroll);

    auto tap = [&](Point screen) {
        window().touchDown(screen);
        window().touchUp(screen);
    };
    const Point origin = scroll->convertPointToView({0, 0}, nullptr);
    tap({origin.x + 40, origin.y + 40});
    tap({origin.x + 17, origin.y + 17}); // the deepest view under the finger
    tap({origin.x + 200, origin.y + 150}); // the scroll view itself: nothing
    EXPECT_EQ(recorder->tags, (std::vector<int> {4, 9}));

    // A drag scrolls and reports nothing.
    window().touchDown({origin.x + 40, origin.y + 150});
    window().touchMove({origin.x + 40, origin.y + 100});
    window().touchMove({origin.x + 40, origin.y + 40});
    window().touchUp({origin.x + 40, origin.y + 40});
    EXPECT_EQ(recorder->tags.size(), 2u);
    EXPECT_GT(scroll->contentOffset().y, 0);
}

TEST_F(DecorativeViews, LabelPaddingToTopAndBottom) {
    // A four-line label in 14-point type, wrapping words.
    auto label = [](double width, const std::string& text) {
        auto made = std::make_unique<Label>(Rect(0, 0, width, 80));
        made->setFont(Font::systemFontOfSize(14));
        made->setNumberOfLines(4);
        made->setLineBreakMode(platform::graphics::LineBreakMode::WordWrap);
        made->setText(text);
        return made;
    };
    auto notes = label(200, "Winter tyres");
    EXPECT_EQ(freeLineCount(*notes), 3);
    alignTop(*notes);
    EXPECT_EQ(notes->text(), "Winter tyres\n\n");

    auto bottom = label(200, "Winter tyres");
    alignBottom(*bottom);
    EXPECT_EQ(bottom->text(), "\n\nWinter tyres");

    // A text that wraps to two lines leaves two free: one line break.
    auto wrapped = label(120, "Changed the oil and the filter");
    EXPECT_EQ(freeLineCount(*wrapped), 2);
    alignTop(*wrapped);
    EXPECT_EQ(wrapped->text(), "Changed the oil and the filter\n");

    // No line limit: nothing to pad.
    Label open(Rect(0, 0, 200, 80));
    open.setNumberOfLines(0);
    open.setText("Free");
    alignTop(open);
    EXPECT_EQ(open.text(), "Free");
}
