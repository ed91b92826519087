// The value editors, opened from a form on a navigation stack and returning to it.

#include "ui/GenericEditViewController.h"
#include "ui/NotesViewController.h"
#include "ui/SelectionViewController.h"

#include <stdexcept>

#include <gmock/gmock.h>

#include "QLCoreLibrary/ValueText.h"
#include "platform/base/Calendar.h"
#include "platform/base/Clock.h"
#include "platform/base/RunLoop.h"
#include "platform/graphics/TextLayout.h"
#include "platform/views/Application.h"
#include "platform/views/Keyboard.h"
#include "platform/views/Label.h"
#include "platform/views/NavigationController.h"
#include "platform/views/TableViewCell.h"
#include "ui/KitTestSupport.h"

using namespace platform;
using namespace platform::views;

// Readable failures.
void PrintTo(const EditorValue& value, std::ostream* out) {
    if (value.isText())
        *out << '"' << value.text() << '"';
    else if (value.date())
        *out << value.date()->description();
    else
        *out << "none";
}

namespace {

// A form that opens editors and records what comes back.
class Form : public ThemedViewController, public GenericEditViewControllerDelegate {
public:
    Form() { setTitle("Form"); }
    void didSelectValue(ViewController& editor, const EditorValue& value, int index) override {
        std::string kind = dynamic_cast<GenericEditViewController*>(&editor) ? "generic"
            : dynamic_cast<SelectionViewController*>(&editor)                ? "selection"
            : dynamic_cast<NotesViewController*>(&editor)                    ? "notes"
                                                                             : "?";
        returns.push_back({kind, value, index});
    }
    struct Return {
        std::string editor;
        EditorValue value;
        int index;
    };
    std::vector<Return> returns;
};

class ValueEditors : public vantrel::test::KitScreenTest {
protected:
    void SetUp() override {
        KitScreenTest::SetUp();
        ThemedViewController::setSelectedTheme(2);
        form = std::make_shared<Form>();
        show(form);
    }

    std::shared_ptr<Form> form;
};

} // namespace

TEST_F(ValueEditors, TextEditorReturnsTheTypedTextOnSaveAndOnReturn) {
    auto editor = std::make_shared<GenericEditViewController>(0, EditorValue("Ford"));
    editor->setDelegate(form);
    push(editor);
    EXPECT_TRUE(editor->textField().isEditing()); // the keyboard comes up at once
    EXPECT_EQ(editor->textField().text(), "Ford");
    EXPECT_EQ(editor->textField().textColor(), Color::fromHex(0x3781DF));
    EXPECT_FALSE(editor->pickerView()->superview());
    EXPECT_FALSE(editor->datePicker()->superview());
    renderScreen("editor-text");
    driver().type(editor->textField(), " Focus");
    driver().pressRightBarButton();
    ASSERT_EQ(form->returns.size(), 1u);
    EXPECT_EQ(form->returns[0].editor, "generic");
    EXPECT_EQ(form->returns[0].value, EditorValue("Ford Focus"));
    EXPECT_EQ(form->returns[0].index, 0);
    EXPECT_EQ(top(), form.get());

    // The return key saves too, and takes the keyboard away.
    auto empty = std::make_shared<GenericEditViewController>(0, EditorValue());
    empty->setDelegate(form);
    push(empty);
    driver().type(empty->textField(), "Civic\n");
    ASSERT_EQ(form->returns.size(), 2u);
    EXPECT_EQ(form->returns[1].value, EditorValue("Civic"));
    EXPECT_EQ(top(), form.get());
    EXPECT_FALSE(driver().window().isKeyboardVisible());
}

TEST_F(ValueEditors, ListEditorSelectsTheValueOnItsWheel) {
    std::vector<std::string> years;
    for (int year = 1920; year <= 2010; ++year)
        years.push_back(std::to_string(year));
    auto editor = std::make_shared<GenericEditViewController>(1, EditorValue("2004"), years);
    editor->setDelegate(form);
    push(editor);
    EXPECT_FALSE(editor->textField().isEditing());
    EXPECT_EQ(editor->pickerView()->selectedRowInComponent(0), 2004 - 1920);
    EXPECT_FALSE(editor->datePicker()->superview());
    renderScreen("editor-list");

    // Typing into a list editor's field changes nothing.
    driver().type(editor->textField(), "9");
    EXPECT_EQ(editor->textField().text(), "2004");
    editor->textField().resignFirstResponder();

    // Turning the wheel (a tap on the row below the band) shows that entry.
    PickerView& picker = *editor->pickerView();
    const Rect next = picker.rectForRow(2005 - 1920, 0);
    driver().tapAt(picker.convertPointToView(next.center(), nullptr));
    EXPECT_EQ(picker.selectedRowInComponent(0), 2005 - 1920);
    EXPECT_EQ(editor->textField().text(), "2005");
    driver().pressRightBarButton();
    ASSERT_EQ(form->returns.size(), 1u);
    EXPECT_EQ(form->returns[0].value, EditorValue("2005"));

    // A value missing from the list is shown with no row selected.
    auto missing = std::make_shared<GenericEditViewController>(
        1, EditorValue("1890"), std::vector<std::string> {"1920", "1921"});
    push(missing);
    EXPECT_EQ(missing->pickerView()->selectedRowInComponent(0), -1);
    EXPECT_EQ(missing->textField().text(), "1890");
}

TEST_F(ValueEditors, DateEditorReturnsTheStartOfTheChosenDay) {
    const Date afternoon = Calendar().dateFromComponents({2010, 3, 14, 15, 30, 0, std::nullopt});
    auto editor = std::make_shared<GenericEditViewController>(2, EditorValue(afternoon));
    editor->setDelegate(form);
    push(editor);
    EXPECT_FALSE(editor->pickerView()->superview());
    EXPECT_EQ(editor->datePicker()->date(), afternoon);
    EXPECT_EQ(editor->textField().text(), "Mar 14, 2010");
    renderScreen("editor-date");

    // The date picker's wheels move the date; the field follows.
    const Date later = Calendar().dateFromComponents({2010, 4, 2, 15, 30, 0, std::nullopt});
    editor->datePicker()->setDate(later);
    editor->datePicker()->sendActionsForControlEvents(ControlEventValueChanged);
    EXPECT_EQ(editor->value(), EditorValue(later));
    EXPECT_EQ(editor->textField().text(), "Apr 2, 2010");

    driver().pressRightBarButton();
    ASSERT_EQ(form->returns.size(), 1u);
    const Date midnight = Calendar().dateFromComponents({2010, 4, 2, 0, 0, 0, std::nullopt});
    EXPECT_EQ(form->returns[0].value, EditorValue(midnight));
    EXPECT_EQ(top(), form.get());
}

TEST_F(ValueEditors, UnknownEditorTypeFailsWhenTheViewLoads) {
    auto editor = std::make_shared<GenericEditViewController>(3, EditorValue("x"));
    EXPECT_THAT([&] { editor->view(); },
        testing::ThrowsMessage<std::invalid_argument>(testing::StrEq("Invalid editor type.")));
}

TEST_F(ValueEditors, SelectionListShowsTheValueAndTheAddNewRow) {
    auto list = std::make_shared<SelectionViewController>(std::vector<std::string> {"Ford", "Opel"}, "Saab");
    list->setTitle("Make");
    list->setDelegate(form);
    push(list);
    EXPECT_EQ(list->values(), (std::vector<std::string> {"Ford", "Opel", "Saab", "Add new make"}));
    TableView& table = *list->selectionTableView();
    auto* saab = table.cellForRowAtIndexPath(IndexPath::forRow(2, 0));
    auto* ford = table.cellForRowAtIndexPath(IndexPath::forRow(0, 0));
    auto* addNew = table.cellForRowAtIndexPath(IndexPath::forRow(3, 0));
    ASSERT_TRUE(saab && ford && addNew);
    EXPECT_EQ(saab->accessoryType(), TableViewCellAccessoryType::Checkmark);
    EXPECT_EQ(saab->textLabel().font(), Font::systemFontOfSize(16));
    EXPECT_EQ(ford->accessoryType(), TableViewCellAccessoryType::None);
    EXPECT_EQ(ford->textLabel().font(), Font::systemFontOfSize(14));
    EXPECT_EQ(addNew->accessoryType(), TableViewCellAccessoryType::DisclosureIndicator);
    renderScreen("selection-list");

    driver().tapRow(table, 0, 1);
    ASSERT_EQ(form->returns.size(), 1u);
    EXPECT_EQ(form->returns[0].editor, "selection");
    EXPECT_EQ(form->returns[0].value, EditorValue("Opel"));
    EXPECT_EQ(form->returns[0].index, 1);
    EXPECT_EQ(top(), form.get());
}

TEST_F(ValueEditors, SelectionListWithoutAutoReturnMovesTheCheckmark) {
    // Without a value, nothing is checked.
    auto list = std::make_shared<SelectionViewController>(
        std::vector<std::string> {"Full", "Partial", "Reset"}, "");
    list->setAllowAddNew(false);
    list->setAutoReturn(false);
    list->setDelegate(form);
    push(list);
    EXPECT_FALSE(list->value());
    EXPECT_EQ(list->values().size(), 3u);
    TableView& table = *list->selectionTableView();
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(table.cellForRowAtIndexPath(IndexPath::forRow(row, 0))->accessoryType(),
            TableViewCellAccessoryType::None);
    driver().tapRow(table, 0, 0);
    driver().tapRow(table, 0, 2);
    EXPECT_EQ(top(), list.get());
    EXPECT_EQ(list->value(), "Reset");
    EXPECT_EQ(table.cellForRowAtIndexPath(IndexPath::forRow(2, 0))->accessoryType(),
        TableViewCellAccessoryType::Checkmark);
    EXPECT_EQ(table.cellForRowAtIndexPath(IndexPath::forRow(0, 0))->accessoryType(),
        TableViewCellAccessoryType::None);
    EXPECT_FALSE(table.indexPathForSelectedRow());
    ASSERT_EQ(form->returns.size(), 2u);
    EXPECT_EQ(form->returns[1].index, 2);
}

TEST_F(ValueEditors, AddNewReturnsOnePastTheLastRowAndPopsBackToTheForm) {
    auto list = std::make_shared<SelectionViewController>(std::vector<std::string> {"Ford", "Opel"}, "Ford");
    list->setTitle("Make");
    list->setDelegate(form);
    push(list);
    driver().tapRow(*list->selectionTableView(), 0, 2);
    auto* editor = dynamic_cast<GenericEditViewController*>(top());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->title(), "New Make");
    EXPECT_EQ(editor->textField().placeholder(), "Make");
    EXPECT_EQ(editor->textField().text(), "");
    EXPECT_TRUE(editor->textField().isEditing());
    driver().type(editor->textField(), "Lada");
    driver().pressRightBarButton();

    ASSERT_EQ(form->returns.size(), 1u);
    EXPECT_EQ(form->returns[0].editor, "selection");
    EXPECT_EQ(form->returns[0].value, EditorValue("Lada"));
    EXPECT_EQ(form->returns[0].index, 3); // "Ford", "Opel", "Add new make"
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_EQ(top(), form.get());
    EXPECT_EQ(list->values(), (std::vector<std::string> {"Ford", "Opel", "Add new make"}));
}

TEST_F(ValueEditors, NotesReturnTheirTextOnDoneAndOnBack) {
    auto notes = std::make_shared<NotesViewController>();
    notes->setTitle("Notes");
    notes->setDelegate(form);
    notes->notesView().setText("Winter tyres in the garage");
    push(notes);
    EXPECT_FALSE(notes->notesView().isEditing()); // not empty: no keyboard
    renderScreen("notes-editor");
    driver().pressBack();
    ASSERT_EQ(form->returns.size(), 1u);
    EXPECT_EQ(form->returns[0].editor, "notes");
    EXPECT_EQ(form->returns[0].value, EditorValue("Winter tyres in the garage"));
    EXPECT_EQ(form->returns[0].index, 0);

    auto empty = std::make_shared<NotesViewController>();
    empty->setDelegate(form);
    push(empty);
    EXPECT_TRUE(empty->notesView().isEditing());
    EXPECT_EQ(empty->notesView().frame(), Rect(0, 0, 320, 200)); // above the keyboard
    driver().type(empty->notesView(), "Oil");
    driver().pressRightBarButton(); // Done
    EXPECT_EQ(top(), form.get());
    ASSERT_EQ(form->returns.size(), 2u);
    EXPECT_EQ(form->returns[1].value, EditorValue("Oil"));
    EXPECT_EQ(empty->notesView().frame(), Rect(0, 0, 320, 416));
}

TEST_F(ValueEditors, NotesViewIsRuledOncePerLine) {
    NotesView notes(Rect(0, 0, 320, 416));
    const auto& tile = notes.backgroundTile();
    ASSERT_TRUE(tile);
    const double line = platform::graphics::TextLayout::sizeWithFont(
        "The Quick Brown Fox Jumps Over The Lazy Dog.", Font::systemFontOfSize(17))
                            .height;
    EXPECT_EQ(tile.size(), Size(320, line));
    // The ruled line in the theme's second colour (white for theme 2 would not show: use 9).
    ThemedViewController::setSelectedTheme(9);
    notes.renderBackground();
    const Color rule = notes.backgroundTile().colorAtPoint({100, line - 10.5});
    EXPECT_NEAR(rule.red, 0xD1 / 255.0, 0.03);
    EXPECT_NEAR(rule.blue, 0xB8 / 255.0, 0.03);
}
