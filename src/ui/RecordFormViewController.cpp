#include "ui/RecordFormViewController.h"

#include <algorithm>

#include "QLCoreLibrary/ValueText.h"
#include "platform/base/SharedFrom.h"
#include "platform/views/NavigationController.h"
#include "ui/GenericEditViewController.h"
#include "ui/NotesViewController.h"
#include "ui/OdometerView.h"

using namespace platform::views;

namespace {

constexpr const char* kEmptyCell = "empty-cell";

} // namespace

// The value labels end short of the disclosure indicator.
const RecordFormViewController::Frames RecordFormViewController::kStandardFrames {
    {15, 0, 195, 41}, {80, 0, 190, 41}, {100, 10, 180, 24}, {160, 10, 120, 0}};

RecordFormViewController::RecordFormViewController(
    const std::string& layoutName, const Frames& frames, int odometerRow)
    : ThemedTableViewController(layoutName, TableViewStyle::Grouped)
    , m_frames(frames)
    , m_odometerRow(odometerRow) { }

void RecordFormViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    navigationItem().setRightBarButtonItem(
        std::make_shared<BarButtonItem>(BarButtonSystemItem::Save, action(&RecordFormViewController::save)));
}

OdometerView* RecordFormViewController::odometerView() {
    tableView()->layoutIfNeeded();
    auto* cell = dynamic_cast<FormCell<OdometerView>*>(
        tableView()->cellForRowAtIndexPath(IndexPath::forRow(m_odometerRow, 0)));
    return cell ? &cell->value() : nullptr;
}

// --- Rows

std::shared_ptr<FormCell<OdometerView>> RecordFormViewController::odometerCell(
    TableView& table, int row, const char* identifier, const std::string& title) {
    auto cell
        = table.dequeueReusableCell<FormCell<OdometerView>>(identifier, m_frames.label, m_frames.odometer);
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    cell->value().setEditable(true);
    entries().attach(row, cell->value());
    cell->label().setText(title);
    setSmallFont(cell->label());
    cell->setTag(row);
    return cell;
}

std::shared_ptr<FormCell<TextField>> RecordFormViewController::entryCell(TableView& table, int row,
    const char* identifier, const std::string& title, KeyboardType keyboard, ReturnKeyType returnKey) {
    auto cell = table.dequeueReusableCell<FormCell<TextField>>(identifier, m_frames.label, m_frames.field);
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    TextField& field = cell->value();
    field.setTextAlignment(TextAlignment::Right);
    field.setFont(platform::graphics::Font::systemFontOfSize(16));
    field.setTextColor(firstColor());
    field.setBackgroundColor(Color::clear());
    field.setKeyboardType(keyboard);
    field.setReturnKeyType(returnKey);
    entries().attach(row, field);
    cell->label().setText(title);
    setSmallFont(cell->label());
    cell->setTag(row);
    return cell;
}

std::shared_ptr<FormCell<Label>> RecordFormViewController::editorCell(
    TableView& table, int row, const char* identifier, const std::string& title, const std::string& text) {
    auto cell = table.dequeueReusableCell<FormCell<Label>>(identifier, m_frames.label, m_frames.value);
    cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    cell->value().setText(text);
    cell->value().setTextAlignment(TextAlignment::Right);
    setMediumFont(cell->value());
    cell->label().setText(title);
    setSmallFont(cell->label());
    cell->setTag(row);
    return cell;
}

std::shared_ptr<TableViewCell> RecordFormViewController::emptyCell(TableView& table) {
    return table.dequeueReusableCell(kEmptyCell, TableViewCellStyle::Default);
}

std::string RecordFormViewController::dateText() {
    const std::optional<platform::Date>& date = recordDate();
    return date ? FormatDate(*date, DateStyle::Medium) : "";
}

std::string RecordFormViewController::notesText() {
    std::string text = recordNotes();
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// --- Editors

void RecordFormViewController::pushEditor(std::shared_ptr<ViewController> editor) {
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(std::move(editor), true);
}

void RecordFormViewController::editDate(const std::string& title) {
    entries().resign();
    auto editor = std::make_shared<GenericEditViewController>(
        GenericEditViewController::DateEditor, EditorValue(recordDate()));
    editor->setTitle(title);
    editor->setDelegate(platform::sharedFrom(this));
    pushEditor(editor);
}

void RecordFormViewController::editNotes() {
    entries().resign();
    auto notes = std::make_shared<NotesViewController>();
    notes->setDelegate(platform::sharedFrom(this));
    notes->setTitle("Notes");
    pushEditor(notes);
    // The notes view exists once the editor has been shown.
    notes->notesView().setText(recordNotes());
}

void RecordFormViewController::didSelectValue(ViewController& editor, const EditorValue& value, int) {
    if (dynamic_cast<GenericEditViewController*>(&editor))
        value.storeDateInto(recordDate());
    else if (dynamic_cast<NotesViewController*>(&editor))
        recordNotes() = value.text();
    tableView()->reloadData();
}

// --- Save

void RecordFormViewController::save() {
    entries().resign();
    std::optional<std::string> missing
        = recordOdometer() < 0 ? std::optional<std::string>("Odometer reading is required.") : missingValue();
    if (missing) {
        showAlert("Error", *missing);
        return;
    }
    if (!store()) {
        showSaveFailedAlert();
        return;
    }
    if (NavigationController* navigation = navigationController())
        navigation->popViewControllerAnimated(true);
}
