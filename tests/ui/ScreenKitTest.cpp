#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "platform/base/SharedFrom.h"
#include "platform/views/AlertView.h"
#include "platform/views/NavigationController.h"
#include "ui/KitTestSupport.h"
#include "ui/ThemedTableViewController.h"

using namespace platform::views;

namespace {

// A list whose Delete asks first, and whose Save pops the screen and then counts.
class Confirming : public ThemedTableViewController, public AlertViewDelegate {
public:
    explicit Confirming(std::shared_ptr<int> answers)
        : ThemedTableViewController("Confirming", TableViewStyle::Plain)
        , m_answers(std::move(answers)) { }
    void viewDidLoad() override {
        ThemedTableViewController::viewDidLoad();
        navigationItem().setRightBarButtonItem(
            std::make_shared<BarButtonItem>(BarButtonSystemItem::Save, action(&Confirming::saveAndLeave)));
    }
    void ask() {
        std::make_shared<AlertView>(
            "Delete?", "", platform::sharedFrom(this), "Keep", std::vector<std::string> {"Delete"})
            ->show();
    }
    void saveAndLeave() {
        navigationController()->popViewControllerAnimated(true);
        // Still alive until the action returns.
        rows.push_back("saved");
        ++*m_answers;
    }
    void clickedButtonAtIndex(AlertView&, int) override { ++*m_answers; }
    int numberOfRowsInSection(TableView&, int) override { return int(rows.size()); }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, IndexPath indexPath) override {
        auto cell = table.dequeueReusableCell("row", TableViewCellStyle::Default);
        cell->textLabel().setText(rows[size_t(indexPath.row)]);
        return cell;
    }

    std::vector<std::string> rows {"a", "b"};

private:
    std::shared_ptr<int> m_answers;
};

class ScreenKit : public vantrel::test::KitScreenTest {
protected:
    void SetUp() override {
        KitScreenTest::SetUp();
        show(std::make_shared<ThemedViewController>());
    }
    std::shared_ptr<int> answers {std::make_shared<int>(0)};
};

} // namespace

TEST_F(ScreenKit, AnAlertWhoseScreenWasPoppedDoesNothingWhenTapped) {
    auto screen = std::make_shared<Confirming>(answers);
    push(screen);
    screen->ask();
    std::weak_ptr<Confirming> gone = screen;
    screen.reset();
    navigation->popViewControllerAnimated(false);
    driver().runUntilIdle();
    ASSERT_TRUE(gone.expired());
    ASSERT_TRUE(driver().alert());
    driver().dismissAlert(1);
    EXPECT_EQ(*answers, 0);
    EXPECT_FALSE(driver().alert());
}

TEST_F(ScreenKit, AnActionKeepsItsScreenAliveWhilePoppingIt) {
    auto screen = std::make_shared<Confirming>(answers);
    push(screen);
    std::weak_ptr<Confirming> gone = screen;
    screen.reset();
    driver().pressRightBarButton();
    EXPECT_EQ(*answers, 1);
    EXPECT_TRUE(gone.expired());
}

TEST_F(ScreenKit, ATableToldOfADeletionItsModelDoesNotShowFailsTheTest) {
    auto screen = std::make_shared<Confirming>(answers);
    push(screen);
    TableView& table = *screen->tableView();
    ASSERT_EQ(table.numberOfRowsInSection(0), 2);
    EXPECT_NONFATAL_FAILURE(
        table.deleteRowsAtIndexPaths({IndexPath::forRow(0, 0)}, TableViewRowAnimation::Fade), "row counts");
    screen->rows.erase(screen->rows.begin());
    table.deleteRowsAtIndexPaths({IndexPath::forRow(0, 0)}, TableViewRowAnimation::Fade);
    EXPECT_EQ(table.numberOfRowsInSection(0), 1);
}
