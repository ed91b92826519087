#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/NotificationCenter.h"
#include "platform/views/TableView.h"
#include "platform/views/TextField.h"
#include "platform/views/ViewController.h"

class OdometerView;

// The text entries of a form screen, bound to the values of the record it edits. It is the
// delegate of every entry of the form (text fields and odometer drums), so a form writes no
// entry handling of its own: it declares each entry once, by a key of its choosing (a row),
// and attaches the entry's view when it builds the row.
//
// For every entry it keeps the rules of the forms:
// - the entry being edited is known (textFieldBeingEdited) and resign() commits it, as Save
//   and leaving the screen do; the return key resigns; the keypad gets its extra key;
// - text entries take up to 50 characters (at 50, only deletions), stored as typed;
// - whole numbers take digits only, at most `maxDigits` of them counted after the change (so
//   a paste cannot bring in more), and are stored clamped to `maximum`;
// - decimals and money are offered for editing as the record's number without grouping
//   ("" for 0), take digits and one decimal separator, and are read back in double
//   precision from what was typed; shown as FormatFloat or FormatCurrency otherwise;
// - focusing an entry and leaving it without a change stores nothing;
// - an entry with a lift raises the form's table by that much while it has the keyboard
//   (less on a taller screen, where the keyboard covers less of the form).
//
// Nothing is called once the screen has gone, and the screen is kept alive while an entry's
// event is handled.
class FormEntries : public platform::views::TextFieldDelegate,
                    public std::enable_shared_from_this<FormEntries> {
public:
    static constexpr size_t kMaximumTextLength = 50;

    // `table` is the one lifted; the screen owns these entries.
    FormEntries(platform::views::ViewController& screen, std::weak_ptr<platform::views::TableView> table);
    ~FormEntries() override;
    void setTable(std::weak_ptr<platform::views::TableView> table) { m_table = std::move(table); }

    // --- Declaring entries

    void addText(int key, std::string& value);
    // With `digitsOnly` off, any text up to `maxDigits` characters is taken and read up to
    // its first non-digit.
    void addWholeNumber(int key, std::function<std::int64_t()> get, std::function<void(std::int64_t)> set,
        int maxDigits, std::int64_t maximum, bool digitsOnly = true);
    void addWholeNumber(int key, std::int32_t& value, int maxDigits);
    // A reading on an OdometerView: the drum takes six digits, deleting them leaves -1.
    void addOdometer(int key, std::int32_t& value);
    // Shown with `fractionDigits` (FormatFloat) when not being edited.
    void addDecimal(int key, double& value, int fractionDigits);
    // Money, shown with FormatCurrency when not being edited. The accessor form serves a
    // value derived from others (a fill-up's total cost).
    void addMoney(int key, double& value);
    void addMoney(int key, std::function<double()> get, std::function<void(double)> set);
    void setLift(int key, double points);

    // --- The entries' views

    // Makes the entries' delegate of `field` (or of the odometer's entry) and shows the
    // record's value in it, unless it is being edited. Call whenever the row is built.
    void attach(int key, platform::views::TextField& field);
    void attach(int key, OdometerView& odometer);
    // The entry of `key` while its row is shown (after the table's pending layout), or none.
    platform::views::TextField* field(int key) const;
    // Shows the record's value in the entry of `key` again (after the screen changed it).
    void show(int key);

    // --- Editing

    // The entry that has the keyboard, or none, and its key.
    platform::views::TextField* textFieldBeingEdited() const;
    std::optional<int> keyBeingEdited() const;
    // Gives the keyboard to the entry of `key`; false when its row is not shown.
    bool beginEditing(int key);
    // Ends the editing, storing what was typed.
    void resign();
    // A number entry's value: what is typed while it is being edited, else the record's.
    double numberValue(int key) const;
    // Told after every typed change of an entry, with its key.
    void setChangeHandler(std::function<void(int key)> handler) { m_changed = std::move(handler); }

    // TextFieldDelegate
    bool shouldChangeCharactersInRange(platform::views::TextField& field, platform::views::TextRange range,
        const std::string& replacement) override;
    void textFieldDidBeginEditing(platform::views::TextField& field) override;
    void textFieldDidEndEditing(platform::views::TextField& field) override;
    bool textFieldShouldReturn(platform::views::TextField& field) override;

private:
    enum class Kind { Text, WholeNumber, Odometer, Decimal, Money };
    struct Entry {
        int key {0};
        Kind kind {Kind::Text};
        // The record's value as shown, and as offered for editing.
        std::function<std::string()> shown;
        std::function<std::string()> editing;
        // Stores a changed text into the record.
        std::function<void(const std::string&)> store;
        // Numbers: the record's value.
        std::function<double()> number;
        int maxDigits {0};
        bool digitsOnly {true};
        double lift {0};
        std::weak_ptr<platform::views::TextField> field;
    };

    Entry& add(int key, Kind kind);
    Entry* entryFor(const platform::views::TextField& field);
    const Entry* entryForKey(int key) const;
    bool accepts(const Entry& entry, const std::string& before, const std::string& after,
        const std::string& replacement) const;
    void connect(Entry& entry, platform::views::TextField& field);
    void liftTable(bool keyboardShown);

    platform::views::ViewController* m_screenPointer;
    std::weak_ptr<platform::views::ViewController> m_screen;
    std::weak_ptr<platform::views::TableView> m_table;
    std::vector<Entry> m_entries;
    std::weak_ptr<platform::views::TextField> m_editing;
    std::string m_textAtBegin;
    // The table's frame before it was lifted, while it is.
    std::optional<platform::views::Rect> m_restingFrame;
    std::function<void(int)> m_changed;
    platform::ObserverToken m_keyboardDidShow;
    platform::ObserverToken m_keyboardDidHide;
};
