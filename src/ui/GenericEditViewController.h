#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/views/DatePicker.h"
#include "platform/views/PickerView.h"
#include "platform/views/TextField.h"
#include "ui/GenericEditViewControllerDelegate.h"
#include "ui/ThemedTableViewController.h"

// Edits one value for a form: a line of text (type 0), a choice on a picker wheel (type 1)
// or a date (type 2). Save (or the return key) hands the value to the delegate with index 0
// and pops the editor; a date comes back as the start of its day as the medium date style
// reads it. Any other type makes loading the view throw std::invalid_argument("Invalid
// editor type.").
class GenericEditViewController : public ThemedTableViewController,
                                  public platform::views::TextFieldDelegate,
                                  public platform::views::PickerViewDataSource,
                                  public platform::views::PickerViewDelegate {
public:
    enum EditorType : int { TextEditor = 0, ListEditor = 1, DateEditor = 2 };

    GenericEditViewController(int editorType, EditorValue selectedValue);
    GenericEditViewController(
        int editorType, EditorValue selectedValue, std::vector<std::string> possibleValues);

    int editorType() const { return m_editorType; }
    const EditorValue& value() const { return m_value; }
    const std::vector<std::string>& values() const { return m_values; }
    // Held weakly: the form that opened the editor, below it on the navigation stack.
    std::shared_ptr<GenericEditViewControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<GenericEditViewControllerDelegate> delegate) {
        m_delegate = std::move(delegate);
    }

    platform::views::TextField& textField() const { return *m_textField; }
    // From the layout "GenericEditViewController"; the ones the type does not use are
    // removed from the view on load.
    const std::shared_ptr<platform::views::TableView>& editorTableView() { return tableView(); }
    const std::shared_ptr<platform::views::PickerView>& pickerView() const { return m_pickerView; }
    const std::shared_ptr<platform::views::DatePicker>& datePicker() const { return m_datePicker; }
    void setWheels(std::shared_ptr<platform::views::PickerView> picker,
        std::shared_ptr<platform::views::DatePicker> datePicker);

    // The Save button's action.
    void save();
    // The date picker's change: the value becomes the picked date.
    void dateDidChange();

    static constexpr const char* kLayoutName = "GenericEditViewController";

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

    // The one row holding the text field.
    int numberOfRowsInSection(platform::views::TableView&, int) override { return 1; }
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

    bool shouldChangeCharactersInRange(
        platform::views::TextField&, platform::views::TextRange, const std::string&) override;
    void textFieldDidEndEditing(platform::views::TextField& field) override;
    bool textFieldShouldReturn(platform::views::TextField& field) override;

    int numberOfRowsInComponent(platform::views::PickerView&, int) override { return int(m_values.size()); }
    std::string titleForRow(platform::views::PickerView&, int row, int) override;
    void didSelectRow(platform::views::PickerView&, int row, int) override;

private:
    std::string displayedValue() const;

    int m_editorType;
    EditorValue m_value;
    std::vector<std::string> m_values;
    std::weak_ptr<GenericEditViewControllerDelegate> m_delegate;
    std::shared_ptr<platform::views::TextField> m_textField;
    std::shared_ptr<platform::views::PickerView> m_pickerView;
    std::shared_ptr<platform::views::DatePicker> m_datePicker;
};
