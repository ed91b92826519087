#include <gtest/gtest.h>

#include "platform/graphics/ImageContext.h"
#include "platform/views/ImagePickerController.h"
#include "platform/views/LayoutRegistry.h"
#include "platform/views/NavigationController.h"
#include "support/AppDriver.h"

namespace vantrel::test {
namespace {

using namespace platform::views;

// A screen that writes its lifecycle into a shared log.
class Logged : public ViewController {
public:
    Logged(std::string name, std::shared_ptr<std::vector<std::string>> log)
        : m_name(std::move(name))
        , m_log(std::move(log)) {
        setTitle(m_name);
    }
    void viewDidLoad() override { m_log->push_back(m_name + " load"); }
    void viewDidUnload() override { m_log->push_back(m_name + " unload"); }
    void viewWillAppear(bool) override { m_log->push_back(m_name + " willAppear"); }
    void viewDidAppear(bool) override { m_log->push_back(m_name + " didAppear"); }
    void viewWillDisappear(bool) override { m_log->push_back(m_name + " willDisappear"); }
    void viewDidDisappear(bool) override { m_log->push_back(m_name + " didDisappear"); }

private:
    std::string m_name;
    std::shared_ptr<std::vector<std::string>> m_log;
};

class Navigation : public ::testing::Test {
protected:
    std::shared_ptr<Logged> screen(const std::string& name) { return std::make_shared<Logged>(name, log); }
    void launch() {
        root = screen("root");
        nav = std::make_shared<NavigationController>(root);
        driver.launchWithRootViewController(nav);
        log->clear();
    }

    AppDriver driver;
    std::shared_ptr<std::vector<std::string>> log = std::make_shared<std::vector<std::string>>();
    std::shared_ptr<Logged> root;
    std::shared_ptr<NavigationController> nav;
};

TEST_F(Navigation, PopToAScreenTellsOnlyTheTopAndTheTarget) {
    launch();
    auto a = screen("a"), b = screen("b"), c = screen("c");
    nav->pushViewController(a, true);
    nav->pushViewController(b, true);
    nav->pushViewController(c, true);
    log->clear();
    auto popped = nav->popToViewController(a.get(), true);
    EXPECT_EQ(popped.size(), 2u);
    EXPECT_EQ(*log,
        (std::vector<std::string> {"c willDisappear", "a willAppear", "c didDisappear", "a didAppear"}));
    EXPECT_EQ(b->navigationController(), nullptr);
    EXPECT_EQ(driver.backButtonTitle(), "root");
    nav->popToRootViewControllerAnimated(false);
    EXPECT_EQ(nav->viewControllers().size(), 1u);
    EXPECT_EQ(nav->popViewControllerAnimated(true), nullptr);
    EXPECT_EQ(driver.backButtonTitle(), "");
}

TEST_F(Navigation, PushesBeforeTheStackIsShownWaitForIt) {
    auto first = screen("first"), second = screen("second");
    nav = std::make_shared<NavigationController>(first);
    nav->pushViewController(second, false);
    EXPECT_TRUE(log->empty());
    driver.launchWithRootViewController(nav);
    EXPECT_EQ(*log, (std::vector<std::string> {"second load", "second willAppear", "second didAppear"}));
    EXPECT_FALSE(first->isViewLoaded());
    driver.pressBack();
    EXPECT_EQ(driver.topViewController(), first.get());
}

TEST_F(Navigation, BarFollowsItemChanges) {
    launch();
    int presses = 0;
    auto item = std::make_shared<BarButtonItem>("Sync", BarButtonItemStyle::Bordered, [&] { ++presses; });
    root->navigationItem().setLeftBarButtonItem(item);
    driver.pressLeftBarButton();
    EXPECT_EQ(presses, 1);
    item->setEnabled(false);
    driver.pressLeftBarButton();
    EXPECT_EQ(presses, 1);
    root->setTitle("Vantrel");
    EXPECT_EQ(driver.navigationTitle(), "Vantrel");
    nav->setNavigationBarHidden(true);
    EXPECT_EQ(root->view()->frame(), Rect(0, 0, 320, 460));
    nav->setToolbarHidden(false);
    EXPECT_EQ(root->view()->frame(), Rect(0, 0, 320, 416));
    root->setToolbarItems({std::make_shared<BarButtonItem>(BarButtonSystemItem::FlexibleSpace),
        std::make_shared<BarButtonItem>(BarButtonSystemItem::Refresh, [&] { presses += 10; })});
    driver.tap(*nav->toolbar().viewForItem(root->toolbarItems()[1].get()));
    EXPECT_EQ(presses, 11);
}

TEST_F(Navigation, ModalScreensCoverTheStackAndComeBack) {
    launch();
    auto modal = screen("modal");
    root->presentModalViewController(modal, true);
    EXPECT_EQ(*log,
        (std::vector<std::string> {
            "modal load", "root willDisappear", "modal willAppear", "root didDisappear", "modal didAppear"}));
    EXPECT_EQ(driver.window().topPresentedController(), modal.get());
    EXPECT_EQ(modal->view()->frame(), Rect(0, 20, 320, 460));
    EXPECT_EQ(modal->parentViewController(), root.get());
    EXPECT_EQ(nav->view()->window(), nullptr);
    log->clear();
    // The presented screen may dismiss itself.
    modal->dismissModalViewControllerAnimated(true);
    EXPECT_EQ(*log,
        (std::vector<std::string> {
            "modal willDisappear", "root willAppear", "modal didDisappear", "root didAppear"}));
    EXPECT_EQ(root->modalViewController(), nullptr);
    EXPECT_EQ(nav->view()->window(), &driver.window());
    EXPECT_EQ(driver.topViewController(), root.get());
}

TEST_F(Navigation, AnimatedChangesLeaveTheirMovementsForTheHost) {
    launch();
    using Kind = Window::Transition::Kind;
    driver.window().takeTransitions();
    nav->pushViewController(screen("second"), true);
    nav->pushViewController(screen("third"), false);
    auto modal = screen("modal");
    root->presentModalViewController(modal, true);
    modal->dismissModalViewControllerAnimated(true);
    nav->popViewControllerAnimated(true);
    // Applied at once, told as they happened: what slides, in window points.
    Rect content(0, 20, 320, 460);
    EXPECT_EQ(driver.window().takeTransitions(),
        (std::vector<Window::Transition> {{Kind::Push, content}, {Kind::Present, content},
            {Kind::Dismiss, content}, {Kind::Pop, content}}));
    EXPECT_TRUE(driver.window().takeTransitions().empty());
    nav->popViewControllerAnimated(false);
    EXPECT_TRUE(driver.window().takeTransitions().empty());
}

TEST_F(Navigation, HiddenScreensDropTheirViewsOnMemoryWarningAndReloadThem) {
    launch();
    auto a = screen("a");
    nav->pushViewController(a, true);
    log->clear();
    Application::sharedApplication().simulateMemoryWarning();
    EXPECT_EQ(*log, (std::vector<std::string> {"root unload"}));
    EXPECT_FALSE(root->isViewLoaded());
    EXPECT_TRUE(a->isViewLoaded());
    log->clear();
    driver.pressBack();
    EXPECT_EQ(log->front(), "root load");
    EXPECT_TRUE(root->isViewLoaded());
}

TEST_F(Navigation, LayoutsBuildViewsByName) {
    LayoutRegistry::registerLayout("NavigationTestLayout", [](ViewController& controller) {
        auto label = std::make_shared<View>(Rect(0, 0, 10, 10));
        label->setTag(42);
        controller.view()->addSubview(label);
    });
    auto byName = std::make_shared<ViewController>("NavigationTestLayout");
    EXPECT_FALSE(byName->isViewLoaded());
    EXPECT_NE(byName->view()->viewWithTag(42), nullptr);
    auto unknown = std::make_shared<ViewController>("NoSuchLayout");
    EXPECT_EQ(unknown->view()->subviews().size(), 0u);
}

TEST_F(Navigation, ControllerWhoseViewIsLaidIntoAnotherSharesItsStack) {
    launch();
    auto cover = screen("cover");
    root->view()->addSubview(cover->view());
    EXPECT_EQ(cover->navigationController(), nav.get());
}

TEST_F(Navigation, ImagePickerAsksTheHostAndTellsItsDelegate) {
    launch();
    struct Receiver : ImagePickerControllerDelegate {
        Size picked;
        int cancels = 0;
        void didFinishPickingImage(ImagePickerController& picker, const platform::graphics::Image& image,
            const ImagePickerInfo& info) override {
            picked = image.size();
            EXPECT_EQ(info.originalImage.size(), (Size {40, 20}));
            picker.dismissModalViewControllerAnimated(true);
        }
        void imagePickerControllerDidCancel(ImagePickerController& picker) override {
            ++cancels;
            picker.dismissModalViewControllerAnimated(true);
        }
    };
    auto receiver = std::make_shared<Receiver>();
    platform::graphics::ImageContext photo({40, 20}, true, 1);
    driver.setNextPickedImage(photo.image());
    EXPECT_FALSE(ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::Camera));
    auto picker = std::make_shared<ImagePickerController>();
    picker->setAllowsEditing(true);
    picker->setDelegate(receiver);
    root->presentModalViewController(picker, true);
    driver.runUntilIdle();
    EXPECT_EQ(receiver->picked, (Size {20, 20}));
    EXPECT_EQ(root->modalViewController(), nullptr);

    driver.setNextPickedImage({});
    auto second = std::make_shared<ImagePickerController>();
    second->setDelegate(receiver);
    root->presentModalViewController(second, true);
    driver.runUntilIdle();
    EXPECT_EQ(receiver->cancels, 1);
    EXPECT_EQ(driver.topViewController(), root.get());
}

} // namespace
} // namespace vantrel::test
