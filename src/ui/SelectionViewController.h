#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/GenericEditViewControllerDelegate.h"
#include "ui/ThemedTableViewController.h"

// A choice from a list for a form. The current value shows a checkmark (a value missing
// from the list is added to it); tapping a row hands its text and row index to the
// delegate and, with autoReturn, pops the list. With allowAddNew a last row "Add new
// <title in lower case>" opens a text editor; the typed text goes to the delegate with an
// index one past the last row (the add-new row included) and both screens are popped back
// to the form. The typed text is not added to the list.
class SelectionViewController : public ThemedTableViewController, public GenericEditViewControllerDelegate {
public:
    // Layout "SelectionViewController". An empty value selects nothing.
    SelectionViewController(
        std::vector<std::string> possibleValues, const std::optional<std::string>& selectedValue);
    // Loads the given layout and sets only the value (the list starts empty).
    static std::shared_ptr<SelectionViewController> withLayout(
        const std::string& layoutName, const std::optional<std::string>& value);

    // For withLayout and the constructor above (the tag cannot be made outside the class).
    class LayoutOnly {
        friend class SelectionViewController;
        LayoutOnly() = default;
    };
    SelectionViewController(LayoutOnly, const std::string& layoutName);

    const std::vector<std::string>& values() const { return m_values; }
    const std::optional<std::string>& value() const { return m_value; }
    // Held weakly: the form that opened the list, below it on the navigation stack.
    std::shared_ptr<GenericEditViewControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<GenericEditViewControllerDelegate> delegate) {
        m_delegate = std::move(delegate);
    }
    bool autoReturn() const { return m_autoReturn; }
    void setAutoReturn(bool autoReturn) { m_autoReturn = autoReturn; }
    // Set before the list is shown.
    bool allowAddNew() const { return m_allowAddNew; }
    void setAllowAddNew(bool allowAddNew) { m_allowAddNew = allowAddNew; }

    const std::shared_ptr<platform::views::TableView>& selectionTableView() { return tableView(); }

    static constexpr const char* kLayoutName = "SelectionViewController";
    static constexpr const char* kCellIdentifier = "SelectionTableViewCell";

    void viewDidLoad() override;

    int numberOfRowsInSection(platform::views::TableView&, int) override { return int(m_values.size()); }
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

    // The add-new editor's return.
    void didSelectValue(
        platform::views::ViewController& editor, const EditorValue& value, int index) override;

private:
    bool isAddNewRow(int row) const;

    std::vector<std::string> m_values;
    std::optional<std::string> m_value;
    std::weak_ptr<GenericEditViewControllerDelegate> m_delegate;
    bool m_autoReturn {true};
    bool m_allowAddNew {true};
    bool m_addNewRowAdded {false};
};
