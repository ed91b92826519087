#include "ui/SelectionViewController.h"

#include <algorithm>
#include <cctype>

#include "platform/base/SharedFrom.h"
#include "platform/views/Label.h"
#include "platform/views/NavigationController.h"
#include "platform/views/TableViewCell.h"
#include "ui/GenericEditViewController.h"

using namespace platform::views;

namespace {

std::string lowercased(std::string text) {
    std::transform(
        text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

} // namespace

SelectionViewController::SelectionViewController(LayoutOnly, const std::string& layoutName)
    : ThemedTableViewController(layoutName, TableViewStyle::Plain) { }

SelectionViewController::SelectionViewController(
    std::vector<std::string> possibleValues, const std::optional<std::string>& selectedValue)
    : SelectionViewController(LayoutOnly {}, kLayoutName) {
    m_values = std::move(possibleValues);
    // The current value always shows with its checkmark, even when the list lacks it.
    if (selectedValue && !selectedValue->empty()) {
        m_value = selectedValue;
        if (std::find(m_values.begin(), m_values.end(), *selectedValue) == m_values.end())
            m_values.push_back(*selectedValue);
    }
}

std::shared_ptr<SelectionViewController> SelectionViewController::withLayout(
    const std::string& layoutName, const std::optional<std::string>& value) {
    auto list = std::make_shared<SelectionViewController>(LayoutOnly {}, layoutName);
    list->m_value = value;
    return list;
}

void SelectionViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    if (m_allowAddNew && !m_addNewRowAdded) {
        m_values.push_back("Add new " + lowercased(title()));
        m_addNewRowAdded = true;
    }
}

bool SelectionViewController::isAddNewRow(int row) const {
    return m_allowAddNew && m_addNewRowAdded && row == int(m_values.size()) - 1;
}

std::shared_ptr<TableViewCell> SelectionViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    auto cell = table.dequeueReusableCell(kCellIdentifier, TableViewCellStyle::Default);
    cell->setBackgroundColor(Color::white(1, 0.5));
    const int row = indexPath.row;
    const std::string& text = m_values[size_t(row)];
    cell->textLabel().setText(text);
    setSmallFont(cell->textLabel());
    if (isAddNewRow(row)) {
        cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    } else if (m_value && text == *m_value) {
        cell->setAccessoryType(TableViewCellAccessoryType::Checkmark);
        setMediumFont(cell->textLabel());
    } else {
        cell->setAccessoryType(TableViewCellAccessoryType::None);
    }
    return cell;
}

void SelectionViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    auto keep = shared_from_this();
    table.deselectRowAtIndexPath(indexPath, true);
    const int row = indexPath.row;
    if (row < 0 || row >= int(m_values.size()))
        return;
    if (isAddNewRow(row)) {
        auto editor = std::make_shared<GenericEditViewController>(
            GenericEditViewController::TextEditor, EditorValue());
        editor->setDelegate(platform::sharedFrom(this));
        editor->textField().setPlaceholder(title());
        editor->setTitle("New " + title());
        if (NavigationController* navigation = navigationController())
            navigation->pushViewController(editor, true);
        return;
    }
    m_value = m_values[size_t(row)];
    if (auto delegate = m_delegate.lock())
        delegate->didSelectValue(*this, EditorValue(*m_value), row);
    if (m_autoReturn) {
        NavigationController* navigation = navigationController();
        if (navigation && navigation->topViewController() == this)
            navigation->popViewControllerAnimated(true);
    } else {
        table.reloadData();
    }
}

void SelectionViewController::didSelectValue(ViewController&, const EditorValue& value, int) {
    auto keep = shared_from_this();
    m_value = value.text();
    if (auto delegate = m_delegate.lock())
        delegate->didSelectValue(*this, EditorValue(*m_value), int(m_values.size()));
    NavigationController* navigation = navigationController();
    if (!navigation)
        return;
    // Back to the form that opened the list; when the form is not a screen on this stack,
    // to the screen below the list.
    auto delegate = m_delegate.lock();
    ViewController* target = dynamic_cast<ViewController*>(delegate.get());
    const auto& stack = navigation->viewControllers();
    auto onStack = [&](ViewController* controller) {
        return std::any_of(stack.begin(), stack.end(), [&](auto& c) { return c.get() == controller; });
    };
    if (!target || !onStack(target) || target == this) {
        target = nullptr;
        for (size_t i = 1; i < stack.size(); ++i) {
            if (stack[i].get() == this)
                target = stack[i - 1].get();
        }
    }
    if (target)
        navigation->popToViewController(target, true);
}
