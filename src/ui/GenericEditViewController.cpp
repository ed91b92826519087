#include "ui/GenericEditViewController.h"

#include <stdexcept>

#include "QLCoreLibrary/ValueText.h"
#include "platform/base/SharedFrom.h"
#include "platform/views/BarButtonItem.h"
#include "platform/views/NavigationController.h"
#include "platform/views/Screen.h"
#include "platform/views/TableViewCell.h"
#include "ui/ThemedView.h"

using namespace platform::views;
using platform::graphics::Font;

namespace {

// The editor's layout: the field's table at the top and a wheel (or the date wheels) at
// the bottom, over the themed background.
void buildLayout(ViewController& controller) {
    auto& editor = static_cast<GenericEditViewController&>(controller);
    Rect bounds = Screen::mainScreen().contentBounds();
    auto background = std::make_shared<ThemedView>(bounds);
    background->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    auto table = std::make_shared<TableView>(Rect(0, 0, bounds.width(), 200), TableViewStyle::Grouped);
    table->setAutoresizingMask(AutoresizingFlexibleWidth);
    table->setScrollEnabled(false);
    Rect wheels {0, bounds.height() - PickerView::kHeight, bounds.width(), PickerView::kHeight};
    auto picker = std::make_shared<PickerView>(wheels);
    picker->setAutoresizingMask(AutoresizingFlexibleTopMargin | AutoresizingFlexibleWidth);
    auto datePicker = std::make_shared<DatePicker>(wheels);
    datePicker->setAutoresizingMask(AutoresizingFlexibleTopMargin | AutoresizingFlexibleWidth);
    datePicker->addTarget(editor.action(&GenericEditViewController::dateDidChange), ControlEventValueChanged);
    background->addSubview(table);
    background->addSubview(picker);
    background->addSubview(datePicker);
    editor.setView(background);
    editor.setTableView(table);
    editor.setWheels(picker, datePicker);
}

} // namespace

GenericEditViewController::GenericEditViewController(int editorType, EditorValue selectedValue)
    : ThemedTableViewController(kLayoutName, buildLayout)
    , m_editorType(editorType)
    , m_value(std::move(selectedValue)) {
    m_textField = std::make_shared<TextField>(Rect(10, 10, 280, 24));
    m_textField->setClearButtonMode(TextFieldViewMode::WhileEditing);
    m_textField->setFont(Font::systemFontOfSize(16));
}

GenericEditViewController::GenericEditViewController(
    int editorType, EditorValue selectedValue, std::vector<std::string> possibleValues)
    : GenericEditViewController(editorType, std::move(selectedValue)) {
    m_values = std::move(possibleValues);
}

void GenericEditViewController::setWheels(
    std::shared_ptr<PickerView> picker, std::shared_ptr<DatePicker> datePicker) {
    m_pickerView = std::move(picker);
    m_datePicker = std::move(datePicker);
}

void GenericEditViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    auto self = platform::sharedFrom(this);
    m_textField->setDelegate(self);
    navigationItem().setRightBarButtonItem(
        std::make_shared<BarButtonItem>(BarButtonSystemItem::Save, action(&GenericEditViewController::save)));
    switch (m_editorType) {
    case TextEditor:
        if (m_pickerView)
            m_pickerView->removeFromSuperview();
        if (m_datePicker)
            m_datePicker->removeFromSuperview();
        break;
    case ListEditor:
        if (m_datePicker)
            m_datePicker->removeFromSuperview();
        if (m_pickerView) {
            m_pickerView->setDataSource(self);
            m_pickerView->setDelegate(self);
            for (size_t row = 0; row < m_values.size(); ++row) {
                if (m_value.isText() && m_values[row] == m_value.text()) {
                    m_pickerView->selectRow(int(row), 0, true);
                    break;
                }
            }
        }
        break;
    case DateEditor:
        if (m_datePicker && m_value.date())
            m_datePicker->setDate(*m_value.date());
        if (m_pickerView)
            m_pickerView->removeFromSuperview();
        break;
    default:
        throw std::invalid_argument("Invalid editor type.");
    }
    m_textField->setText(displayedValue());
    m_textField->setTextColor(firstColor());
}

void GenericEditViewController::viewDidAppear(bool animated) {
    ThemedTableViewController::viewDidAppear(animated);
    if (m_editorType == TextEditor) {
        // The field sits in the table's cell, which exists once the table is laid out.
        view()->layoutIfNeeded();
        m_textField->becomeFirstResponder();
    }
}

std::string GenericEditViewController::displayedValue() const {
    if (auto date = m_value.date())
        return FormatDate(*date, DateStyle::Medium);
    return m_value.text();
}

std::shared_ptr<TableViewCell> GenericEditViewController::cellForRowAtIndexPath(TableView& table, IndexPath) {
    auto cell = table.dequeueReusableCell("GenericEditCell", TableViewCellStyle::Default);
    cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    cell->setBackgroundColor(Color::white(1, 0.5));
    m_textField->setText(displayedValue());
    m_textField->setFont(Font::systemFontOfSize(16));
    m_textField->setTextColor(firstColor());
    cell->contentView().addSubview(m_textField);
    return cell;
}

bool GenericEditViewController::shouldChangeCharactersInRange(TextField&, TextRange, const std::string&) {
    return m_editorType == TextEditor;
}

void GenericEditViewController::textFieldDidEndEditing(TextField& field) {
    m_value = field.text();
}

bool GenericEditViewController::textFieldShouldReturn(TextField& field) {
    field.resignFirstResponder();
    save();
    return false;
}

std::string GenericEditViewController::titleForRow(PickerView&, int row, int) {
    return row >= 0 && row < int(m_values.size()) ? m_values[size_t(row)] : std::string();
}

void GenericEditViewController::didSelectRow(PickerView&, int row, int) {
    if (row >= 0 && row < int(m_values.size()))
        m_textField->setText(m_values[size_t(row)]);
}

void GenericEditViewController::dateDidChange() {
    if (!m_datePicker)
        return;
    m_value = m_datePicker->date();
    m_textField->setText(displayedValue());
    tableView()->reloadData();
}

void GenericEditViewController::save() {
    // The delegate may pop this editor (a selection list returning to its form).
    auto keep = shared_from_this();
    m_textField->resignFirstResponder();
    if (m_editorType == DateEditor)
        m_value = EditorValue(ParseDate(m_textField->text(), DateStyle::Medium));
    else
        m_value = m_textField->text();
    if (auto delegate = m_delegate.lock())
        delegate->didSelectValue(*this, m_value, 0);
    NavigationController* navigation = navigationController();
    if (navigation && navigation->topViewController() == this)
        navigation->popViewControllerAnimated(true);
}
