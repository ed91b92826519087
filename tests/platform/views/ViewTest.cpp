#include <gtest/gtest.h>

#include "platform/base/RunLoop.h"
#include "platform/views/Label.h"
#include "platform/views/Touch.h"
#include "platform/views/View.h"
#include "platform/views/Window.h"

namespace platform::views {
namespace {

std::shared_ptr<View> viewAt(double x, double y, double w, double h, int tag = 0) {
    auto view = std::make_shared<View>(Rect(x, y, w, h));
    view->setTag(tag);
    return view;
}

std::vector<int> tags(const View& view) {
    std::vector<int> result;
    for (auto& sub : view.subviews())
        result.push_back(sub->tag());
    return result;
}

TEST(View, SubviewOrderFollowsInsertAndReorderCalls) {
    auto root = viewAt(0, 0, 100, 100);
    auto a = viewAt(0, 0, 1, 1, 1), b = viewAt(0, 0, 1, 1, 2), c = viewAt(0, 0, 1, 1, 3),
         d = viewAt(0, 0, 1, 1, 4);
    root->addSubview(a);
    root->addSubview(b);
    root->insertSubview(c, 0);
    EXPECT_EQ(tags(*root), (std::vector<int> {3, 1, 2}));
    root->insertSubviewAbove(d, a.get());
    EXPECT_EQ(tags(*root), (std::vector<int> {3, 1, 4, 2}));
    root->bringSubviewToFront(c.get());
    root->sendSubviewToBack(b.get());
    EXPECT_EQ(tags(*root), (std::vector<int> {2, 1, 4, 3}));
    root->insertSubviewBelow(c, b.get());
    EXPECT_EQ(tags(*root), (std::vector<int> {3, 2, 1, 4}));
    // Adding a view that lives elsewhere moves it.
    auto other = viewAt(0, 0, 10, 10);
    other->addSubview(a);
    EXPECT_EQ(tags(*root), (std::vector<int> {3, 2, 4}));
    EXPECT_EQ(a->superview(), other.get());
    d->removeFromSuperview();
    EXPECT_EQ(d->superview(), nullptr);
    EXPECT_EQ(tags(*root), (std::vector<int> {3, 2}));
}

TEST(View, RemovingTheLastReferenceFromInsideIsSafe) {
    auto root = viewAt(0, 0, 100, 100);
    std::weak_ptr<View> weak;
    {
        auto child = viewAt(0, 0, 10, 10);
        weak = child;
        root->addSubview(child);
    }
    weak.lock()->removeFromSuperview();
    EXPECT_TRUE(weak.expired());
}

TEST(View, ViewWithTagSearchesDepthFirst) {
    auto root = viewAt(0, 0, 100, 100);
    auto a = viewAt(0, 0, 10, 10, 5);
    auto deep = viewAt(0, 0, 1, 1, 7);
    auto shallow = viewAt(0, 0, 1, 1, 7);
    a->addSubview(deep);
    root->addSubview(a);
    root->addSubview(shallow);
    EXPECT_EQ(root->viewWithTag(7), deep.get());
    EXPECT_EQ(root->viewWithTag(0), root.get());
    EXPECT_EQ(root->viewWithTag(99), nullptr);
}

TEST(View, ConvertsPointsThroughFramesAndBoundsOrigins) {
    auto root = viewAt(0, 0, 320, 480);
    auto scroller = viewAt(10, 20, 300, 400);
    scroller->setBounds(Rect(0, 100, 300, 400)); // scrolled down by 100
    auto leaf = viewAt(5, 150, 50, 50);
    root->addSubview(scroller);
    scroller->addSubview(leaf);
    EXPECT_EQ(leaf->convertPointToView({1, 2}, nullptr), (Point {16, 72}));
    EXPECT_EQ(leaf->convertPointFromView({16, 72}, nullptr), (Point {1, 2}));
    EXPECT_EQ(leaf->convertPointToView({0, 0}, scroller.get()), (Point {5, 150}));
    EXPECT_EQ(root->convertRectFromView(Rect(0, 0, 50, 50), leaf.get()), Rect(15, 70, 50, 50));
}

TEST(View, AutoresizingSharesTheChangeAmongFlexibleParts) {
    auto root = viewAt(0, 0, 320, 480);
    auto stretch = viewAt(10, 10, 300, 100);
    stretch->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    auto right = viewAt(270, 10, 40, 40);
    right->setAutoresizingMask(AutoresizingFlexibleLeftMargin);
    auto centred = viewAt(140, 0, 40, 40);
    centred->setAutoresizingMask(AutoresizingFlexibleLeftMargin | AutoresizingFlexibleRightMargin);
    auto bottom = viewAt(0, 436, 320, 44);
    bottom->setAutoresizingMask(AutoresizingFlexibleTopMargin | AutoresizingFlexibleWidth);
    auto fixed = viewAt(10, 10, 20, 20);
    for (auto& v : {stretch, right, centred, bottom, fixed})
        root->addSubview(v);
    root->setFrame(Rect(0, 0, 480, 320));
    EXPECT_EQ(stretch->frame(), Rect(10, 10, 460, 0)); // height cannot go below zero
    EXPECT_EQ(right->frame(), Rect(430, 10, 40, 40));
    EXPECT_EQ(centred->frame(), Rect(220, 0, 40, 40));
    EXPECT_EQ(bottom->frame(), Rect(0, 276, 480, 44));
    EXPECT_EQ(fixed->frame(), Rect(10, 10, 20, 20));
    root->setAutoresizesSubviews(false);
    root->setFrame(Rect(0, 0, 320, 480));
    EXPECT_EQ(right->frame(), Rect(430, 10, 40, 40));
}

TEST(View, SizeChangesAskForLayout) {
    struct Counting : View {
        using View::View;
        int layouts = 0;
        void layoutSubviews() override { ++layouts; }
    };
    auto view = std::make_shared<Counting>(Rect(0, 0, 10, 10));
    view->layoutIfNeeded();
    EXPECT_EQ(view->layouts, 1);
    view->layoutIfNeeded();
    view->setCenter({50, 50});
    view->layoutIfNeeded();
    EXPECT_EQ(view->layouts, 1);
    EXPECT_EQ(view->frame(), Rect(45, 45, 10, 10));
    view->setFrame(Rect(0, 0, 20, 10));
    view->layoutIfNeeded();
    view->setNeedsLayout();
    view->layoutIfNeeded();
    EXPECT_EQ(view->layouts, 3);
}

TEST(View, HitTestingSkipsHiddenTransparentAndNonInteractiveViews) {
    auto root = viewAt(0, 0, 320, 480);
    auto back = viewAt(0, 0, 100, 100, 1);
    auto front = viewAt(0, 0, 100, 100, 2);
    auto child = viewAt(10, 10, 20, 20, 3);
    root->addSubview(back);
    root->addSubview(front);
    front->addSubview(child);
    EXPECT_EQ(root->hitTest({15, 15}), child.get());
    EXPECT_EQ(root->hitTest({50, 50}), front.get());
    front->setHidden(true);
    EXPECT_EQ(root->hitTest({15, 15}), back.get());
    front->setHidden(false);
    front->setAlpha(0);
    EXPECT_EQ(root->hitTest({15, 15}), back.get());
    front->setAlpha(0.02);
    EXPECT_EQ(root->hitTest({15, 15}), child.get());
    front->setUserInteractionEnabled(false);
    EXPECT_EQ(root->hitTest({15, 15}), back.get());
    // Outside its superview a subview is not hit, clipping or not.
    front->setUserInteractionEnabled(true);
    auto sticking = viewAt(90, 90, 40, 40, 4);
    front->addSubview(sticking);
    EXPECT_EQ(root->hitTest({120, 120}), root.get());
    EXPECT_EQ(root->hitTest({95, 95}), sticking.get());
    EXPECT_EQ(root->hitTest({400, 10}), nullptr);
    // Labels take no touches: they go to the view behind.
    auto label = std::make_shared<Label>(Rect(0, 200, 100, 20));
    root->addSubview(label);
    EXPECT_EQ(root->hitTest({10, 205}), root.get());
}

TEST(View, UnhandledTouchesGoToTheSuperview) {
    struct Recorder : View {
        using View::View;
        std::vector<std::string> events;
        void touchesBegan(Touch&) override { events.push_back("began"); }
        void touchesEnded(Touch&) override { events.push_back("ended"); }
    };
    auto window = std::make_shared<Window>();
    auto recorder = std::make_shared<Recorder>(Rect(0, 100, 320, 100));
    auto plain = viewAt(10, 10, 50, 50);
    recorder->addSubview(plain);
    window->addSubview(recorder);
    window->touchDown({20, 120});
    window->touchUp({20, 120});
    EXPECT_EQ(recorder->events, (std::vector<std::string> {"began", "ended"}));
}

TEST(View, AnimationAppliesAtOnceAndCompletesFromTheLoop) {
    RunLoop::main().reset();
    auto view = viewAt(0, 0, 10, 10);
    bool completed = false;
    View::animate(
        0.25, AnimationCurve::EaseOut, [&] { view->setAlpha(0.5); },
        [&](bool finished) { completed = finished; });
    EXPECT_EQ(view->alpha(), 0.5);
    EXPECT_FALSE(completed);
    RunLoop::main().runUntilIdle();
    EXPECT_TRUE(completed);
}

TEST(View, FirstResponderNeedsAWindowAndAWillingView) {
    struct Responder : View {
        using View::View;
        bool willing = true;
        bool canBecomeFirstResponder() const override { return true; }
        bool canResignFirstResponder() const override { return willing; }
    };
    auto window = std::make_shared<Window>();
    auto a = std::make_shared<Responder>(Rect(0, 0, 10, 10));
    auto b = std::make_shared<Responder>(Rect(0, 0, 10, 10));
    EXPECT_FALSE(a->becomeFirstResponder());
    window->addSubview(a);
    window->addSubview(b);
    EXPECT_TRUE(a->becomeFirstResponder());
    EXPECT_TRUE(a->isFirstResponder());
    a->willing = false;
    EXPECT_FALSE(b->becomeFirstResponder());
    EXPECT_TRUE(a->isFirstResponder());
    EXPECT_FALSE(window->endEditing(false));
    EXPECT_TRUE(window->endEditing(true));
    EXPECT_EQ(window->firstResponder(), nullptr);
    // A responder that leaves the window stops being first responder.
    EXPECT_TRUE(b->becomeFirstResponder());
    b->removeFromSuperview();
    EXPECT_EQ(window->firstResponder(), nullptr);
}

} // namespace
} // namespace platform::views
