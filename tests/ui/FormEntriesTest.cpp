#include <gtest/gtest.h>

#include "QLCoreLibrary/ValueText.h"
#include "platform/base/Locale.h"
#include "platform/views/AlertView.h"
#include "platform/views/NavigationController.h"
#include "ui/FormCell.h"
#include "ui/GenericEditViewControllerDelegate.h"
#include "ui/KitTestSupport.h"
#include "ui/OdometerView.h"
#include "ui/ThemedTableViewController.h"

using namespace platform::views;

namespace {

// What a record form edits, kept between openings as a store would.
struct Record {
    double cost {0};
    double quantity {0};
    double price {0};
    std::int32_t interval {0};
    std::int32_t odometer {-1};
    std::optional<platform::Date> date;
};

// A form written on the kit as the record screens are: one row per entry, Save copies the
// record to the store and pops.
class RecordForm : public ThemedTableViewController {
public:
    enum : int { kCost, kQuantity, kPrice, kInterval, kOdometer, kRows };

    RecordForm(Record record, Record& store)
        : ThemedTableViewController("RecordForm", TableViewStyle::Grouped)
        , m_record(record)
        , m_store(store) {
        entries().addMoney(kCost, m_record.cost);
        entries().addDecimal(kQuantity, m_record.quantity, 3);
        entries().addMoney(kPrice, m_record.price);
        entries().addWholeNumber(kInterval, m_record.interval, 6);
        entries().addOdometer(kOdometer, m_record.odometer);
    }
    void viewDidLoad() override {
        ThemedTableViewController::viewDidLoad();
        navigationItem().setRightBarButtonItem(
            std::make_shared<BarButtonItem>(BarButtonSystemItem::Save, action(&RecordForm::save)));
    }
    void save() {
        entries().resign();
        m_store = m_record;
        navigationController()->popViewControllerAnimated(true);
    }
    void chooseDate(const EditorValue& value) { value.storeDateInto(m_record.date); }
    int numberOfRowsInSection(TableView&, int) override { return kRows; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, IndexPath indexPath) override {
        if (indexPath.row == kOdometer) {
            auto cell = table.dequeueReusableCell<FormCell<OdometerView>>("odometer-cell");
            cell->value().setEditable(true);
            entries().attach(kOdometer, cell->value());
            return cell;
        }
        auto cell = table.dequeueReusableCell<FormCell<TextField>>("cell-" + std::to_string(indexPath.row));
        cell->value().setKeyboardType(KeyboardType::NumberPad);
        entries().attach(indexPath.row, cell->value());
        return cell;
    }
    TextField& field(int row) { return *entries().field(row); }
    const Record& record() const { return m_record; }

private:
    Record m_record;
    Record& m_store;
};

class FormEntriesTest : public vantrel::test::KitScreenTest, public testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        platform::Locale::setCurrent(GetParam());
        ResetDecimalSeparatorCache();
        KitScreenTest::SetUp();
        show(std::make_shared<ThemedViewController>());
    }
    void TearDown() override {
        KitScreenTest::TearDown();
        platform::Locale::setCurrent("");
        ResetDecimalSeparatorCache();
    }
    RecordForm& open() {
        auto form = std::make_shared<RecordForm>(store, store);
        push(form);
        return *form;
    }
    // The number as typed on the keypad in this locale: its separator, no grouping.
    static std::string typed(const std::string& number) {
        std::string text = number;
        if (auto dot = text.find('.'); dot != std::string::npos)
            text.replace(dot, 1, GetDecimalSeparator());
        return text;
    }
    void clear(TextField& field) {
        while (!field.text().empty())
            driver().pressDelete();
    }

    Record store;
};

} // namespace

TEST_P(FormEntriesTest, FocusingAndLeavingChangesNothingAndTypedNumbersKeepTheirPrecision) {
    store = {1500, 1200, 3.499, 12000, 42000, std::nullopt};
    RecordForm& form = open();
    // Shown as the record's values are shown everywhere, grouping and symbol included.
    EXPECT_EQ(form.field(RecordForm::kCost).text(), FormatCurrency(1500));
    EXPECT_EQ(form.field(RecordForm::kQuantity).text(), FormatFloat(1200, 3));

    // Each entry offers the record's number without grouping and, left alone, stores nothing.
    driver().tap(form.field(RecordForm::kCost));
    EXPECT_EQ(form.field(RecordForm::kCost).text(), FormatTypedNumber(1500, CurrencyFractionDigits()));
    driver().tap(form.field(RecordForm::kQuantity));
    EXPECT_EQ(form.field(RecordForm::kQuantity).text(), typed("1200.000"));
    driver().tap(form.field(RecordForm::kPrice));
    driver().tap(form.field(RecordForm::kInterval));
    EXPECT_EQ(form.field(RecordForm::kInterval).text(), "12000");
    driver().pressReturn();
    EXPECT_EQ(form.field(RecordForm::kCost).text(), FormatCurrency(1500));
    EXPECT_EQ(form.record().cost, 1500);
    EXPECT_EQ(form.record().quantity, 1200);
    EXPECT_EQ(form.record().price, 3.499);

    // What is typed is read in double precision, in the locale's own way of writing it.
    driver().tap(form.field(RecordForm::kCost));
    clear(form.field(RecordForm::kCost));
    driver().type(form.field(RecordForm::kCost), typed("300000.01"));
    driver().tap(form.field(RecordForm::kQuantity));
    EXPECT_EQ(form.record().cost, 300000.01);
    EXPECT_EQ(form.field(RecordForm::kCost).text(), FormatCurrency(300000.01));
    clear(form.field(RecordForm::kQuantity));
    driver().type(form.field(RecordForm::kQuantity), typed("45.5"));
    // A chosen date of none keeps the date there is.
    form.chooseDate(EditorValue(platform::Date(1000)));
    form.chooseDate(EditorValue());
    EXPECT_EQ(form.record().date, platform::Date(1000));

    driver().pressRightBarButton(); // Save commits the entry being typed
    EXPECT_EQ(store.cost, 300000.01);
    EXPECT_EQ(store.quantity, 45.5);
    EXPECT_EQ(store.price, 3.499);
    EXPECT_EQ(store.interval, 12000);
    EXPECT_EQ(store.odometer, 42000);

    RecordForm& again = open();
    EXPECT_EQ(again.field(RecordForm::kCost).text(), FormatCurrency(300000.01));
    EXPECT_EQ(again.field(RecordForm::kQuantity).text(), FormatFloat(45.5, 3));
}

TEST_P(FormEntriesTest, WhatDoesNotFitIsRefusedBeforeItReachesTheRecord) {
    store = {0, 0, 0, 12345, -1, std::nullopt};
    RecordForm& form = open();
    // Money: an empty entry for 0; text with grouping or letters does not go in.
    driver().tap(form.field(RecordForm::kCost));
    TextField& cost = form.field(RecordForm::kCost);
    EXPECT_EQ(cost.text(), "");
    cost.insertText(FormatCurrency(1500));
    cost.insertText("12a");
    EXPECT_EQ(cost.text(), "");
    cost.insertText(typed("7.5"));
    cost.insertText(typed("."));
    EXPECT_EQ(cost.text(), typed("7.5"));

    // Whole numbers: digits only, and the limit counts the text after the change, so a
    // paste cannot bring in a number the column cannot hold.
    driver().tap(form.field(RecordForm::kInterval));
    TextField& interval = form.field(RecordForm::kInterval);
    interval.insertText("67");
    EXPECT_EQ(interval.text(), "12345");
    interval.insertText("6");
    interval.insertText("7");
    EXPECT_EQ(interval.text(), "123456");
    interval.setText("");
    interval.insertText("2147483648");
    EXPECT_EQ(interval.text(), "");
    driver().pressReturn();
    EXPECT_EQ(form.record().interval, 0); // cleared: 0, for the form's check to report
    EXPECT_EQ(form.record().cost, 7.5);
    EXPECT_EQ(form.record().odometer, -1); // never entered
}

INSTANTIATE_TEST_SUITE_P(Locales, FormEntriesTest, testing::Values("en_US", "de_DE", "ja_JP"));
