#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/base/Date.h"
#include "platform/views/Label.h"
#include "platform/views/TextField.h"
#include "ui/FormCell.h"
#include "ui/GenericEditViewControllerDelegate.h"
#include "ui/ThemedTableViewController.h"

class OdometerView;

// The base of the forms that record one event of a car (a fill-up, a repair, a service
// performed): a grouped table whose rows are built alike, a date and a notes row that open
// their editors, and Save, which requires an odometer reading, stores the record and goes
// back, or says what is missing or that the store refused it and keeps the form as typed.
//
// A form keeps its own copy of the record and declares its entries (FormEntries); it says
// where the record keeps its date, reading and notes, builds its rows with the cells below
// and stores the record in store().
class RecordFormViewController : public ThemedTableViewController, public GenericEditViewControllerDelegate {
public:
    // Where the views of a row lie (a grouped cell's content is 300 points wide).
    struct Frames {
        platform::views::Rect label;
        // The value of a row that opens an editor.
        platform::views::Rect value;
        platform::views::Rect field;
        platform::views::Rect odometer;
    };
    // The frames of the fill-up and repair forms.
    static const Frames kStandardFrames;

    // The drums of the odometer row while it is shown, or none.
    OdometerView* odometerView();
    platform::views::TextField* textFieldBeingEdited() { return entries().textFieldBeingEdited(); }

    // Commits the value being typed, then stores the record and goes back.
    void save();

    // Adds the Save button.
    void viewDidLoad() override;

    // Takes the date editor's date or the notes editor's text, then shows the rows anew.
    void didSelectValue(
        platform::views::ViewController& editor, const EditorValue& value, int index) override;

protected:
    RecordFormViewController(const std::string& layoutName, const Frames& frames, int odometerRow);

    // Where the record keeps these.
    virtual std::optional<platform::Date>& recordDate() = 0;
    virtual std::string& recordNotes() = 0;
    virtual std::int32_t recordOdometer() const = 0;
    // The message for a required value other than the reading that is missing, or none.
    virtual std::optional<std::string> missingValue() const { return std::nullopt; }
    // Stores the record; false when the store refused it.
    virtual bool store() = 0;

    // The rows, tagged with their row and titled in the small font. The odometer and the
    // entries are attached to the form's entry of their row and do not highlight.
    std::shared_ptr<FormCell<OdometerView>> odometerCell(
        platform::views::TableView& table, int row, const char* identifier, const std::string& title);
    // Right-aligned in the system font of 16, in the theme's first colour.
    std::shared_ptr<FormCell<platform::views::TextField>> entryCell(platform::views::TableView& table,
        int row, const char* identifier, const std::string& title,
        platform::views::KeyboardType keyboard = platform::views::KeyboardType::NumberPad,
        platform::views::ReturnKeyType returnKey = platform::views::ReturnKeyType::Default);
    // A row that opens an editor: `text` right-aligned in the medium font, a disclosure
    // indicator.
    std::shared_ptr<FormCell<platform::views::Label>> editorCell(platform::views::TableView& table, int row,
        const char* identifier, const std::string& title, const std::string& text);
    // What a row outside the form shows.
    static std::shared_ptr<platform::views::TableViewCell> emptyCell(platform::views::TableView& table);

    // The texts of the date and the notes rows (the notes on one line).
    std::string dateText();
    std::string notesText();

    // Open the record's date and notes in their editors, the value being typed committed.
    void editDate(const std::string& title);
    void editNotes();
    void pushEditor(std::shared_ptr<platform::views::ViewController> editor);

private:
    Frames m_frames;
    int m_odometerRow;
};
