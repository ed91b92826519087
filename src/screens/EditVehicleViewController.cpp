#include "screens/EditVehicleViewController.h"

#include <algorithm>

#include "QLCoreLibrary/ApplicationExtensions.h"
#include "QLCoreLibrary/ImageExtensions.h"
#include "data/DB.h"
#include "platform/base/Calendar.h"
#include "platform/base/Clock.h"
#include "platform/views/AlertView.h"
#include "platform/views/Application.h"
#include "platform/views/Button.h"
#include "platform/views/ImageView.h"
#include "platform/views/Label.h"
#include "platform/views/LayoutRegistry.h"
#include "platform/views/NavigationController.h"
#include "ui/GenericEditViewController.h"
#include "ui/NotesViewController.h"
#include "ui/OdometerView.h"
#include "ui/SelectionViewController.h"
#include "ui/ThemedView.h"

using namespace platform::views;

namespace {

constexpr const char* kNameCell = "name-cell";
constexpr const char* kLicensePlateCell = "license-plate-cell";
constexpr const char* kSelectionCell = "selection-cell";
constexpr const char* kEmptyCell = "empty-cell";
constexpr int kLabelTag = 1;
constexpr int kValueTag = 2;
// The form is lifted by this much while the licence plate entry has the keyboard.
constexpr double kLicensePlateLift = 80;

const char* const kSelectionLabels[] = {"License Plate", "Make", "Model", "Year", "Notes"};

void buildLayout(ViewController& controller) {
    auto& editor = static_cast<EditVehicleViewController&>(controller);
    auto background = std::make_shared<ThemedView>(Rect(0, 0, 320, 416));
    background->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    auto table = std::make_shared<TableView>(background->bounds(), TableViewStyle::Grouped);
    table->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    background->addSubview(table);
    editor.setView(background);
    editor.setVehicleTableView(table);
}

Color formBackground() {
    return Color::white(1, 0.5);
}

std::shared_ptr<Label> rowLabel(const std::string& text) {
    auto label = std::make_shared<Label>(Rect(10, 11, 110, 22));
    label->setTag(kLabelTag);
    label->setText(text);
    ThemedViewController::setSmallFont(*label);
    return label;
}

} // namespace

EditVehicleViewController::EditVehicleViewController(std::optional<Vehicle> vehicle) {
    // Registered on first use: a static initialiser in a static library may never be linked.
    if (!LayoutRegistry::hasLayout(kLayoutName))
        LayoutRegistry::registerLayout(kLayoutName, buildLayout);
    setLayout(LayoutRegistry::layoutNamed(kLayoutName));
    if (vehicle) {
        m_vehicle = std::move(*vehicle);
        m_isNew = false;
    }
}

EditVehicleViewController::~EditVehicleViewController() {
    if (m_vehicleTableView) {
        m_vehicleTableView->setDataSource(nullptr);
        m_vehicleTableView->setDelegate(nullptr);
    }
    // The entries outlive this screen in the table's cells until the table goes.
    for (int tag : {kNameFieldTag, kLicensePlateTag}) {
        if (auto* field = dynamic_cast<TextField*>(viewInRow(tag == kNameFieldTag ? 0 : 1, 0, tag)))
            field->setDelegate(nullptr);
    }
    if (OdometerView* odometer = odometerView())
        odometer->setDelegate(nullptr);
}

void EditVehicleViewController::setVehicleTableView(std::shared_ptr<TableView> table) {
    m_vehicleTableView = std::move(table);
}

void EditVehicleViewController::viewDidLoad() {
    ThemedViewController::viewDidLoad();
    setTitle(m_isNew ? "Add Car" : m_vehicle.name);
    navigationItem().setRightBarButtonItem(
        std::make_shared<BarButtonItem>(BarButtonSystemItem::Save, [this] { saveButtonPressed(); }));
    if (m_vehicleTableView) {
        m_vehicleTableView->setDataSource(this);
        m_vehicleTableView->setDelegate(this);
    }
}

void EditVehicleViewController::viewWillAppear(bool animated) {
    ThemedViewController::viewWillAppear(animated);
    if (m_vehicleTableView) {
        if (auto selected = m_vehicleTableView->indexPathForSelectedRow())
            m_vehicleTableView->deselectRowAtIndexPath(*selected, animated);
    }
}

void EditVehicleViewController::viewDidAppear(bool animated) {
    ThemedViewController::viewDidAppear(animated);
    if (m_vehicle.name.empty()) {
        if (TextField* field = nameField())
            field->becomeFirstResponder();
    }
}

// --- Views of the form

View* EditVehicleViewController::viewInRow(int section, int row, int tag) const {
    if (!m_vehicleTableView)
        return nullptr;
    TableViewCell* cell = m_vehicleTableView->cellForRowAtIndexPath(IndexPath::forRow(row, section));
    return cell ? cell->contentView().viewWithTag(tag) : nullptr;
}

TextField* EditVehicleViewController::nameField() const {
    return dynamic_cast<TextField*>(viewInRow(0, 0, kNameFieldTag));
}

TextField* EditVehicleViewController::licensePlateField() const {
    return dynamic_cast<TextField*>(viewInRow(1, kLicensePlateRow, kLicensePlateTag));
}

OdometerView* EditVehicleViewController::odometerView() const {
    return dynamic_cast<OdometerView*>(viewInRow(0, 0, kOdometerTag));
}

View* EditVehicleViewController::pictureButton() const {
    View* picture = viewInRow(0, 0, kPictureTag);
    if (!picture || !picture->superview())
        return nullptr;
    // The borderless button lies over the picture.
    for (const auto& subview : picture->superview()->subviews()) {
        if (dynamic_cast<Button*>(subview.get()) && subview->frame() == picture->frame())
            return subview.get();
    }
    return nullptr;
}

// --- The table

std::shared_ptr<TableViewCell> EditVehicleViewController::nameCell(TableView& table) {
    std::shared_ptr<TableViewCell> cell = table.dequeueReusableCellWithIdentifier(kNameCell);
    if (!cell) {
        cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, kNameCell);
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        View& content = cell->contentView();

        auto picture = std::make_shared<ImageView>(Rect(8, 8, 64, 64));
        picture->setTag(kPictureTag);
        picture->setOpaque(false);
        content.addSubview(picture);
        auto button = std::make_shared<Button>(ButtonType::Custom);
        button->setFrame(picture->frame());
        button->addTarget([this] { takePicture(); }, ControlEventTouchUpInside);
        content.addSubview(button);

        auto name = std::make_shared<TextField>(Rect(84, 10, 200, 28));
        name->setTag(kNameFieldTag);
        name->setPlaceholder("Vehicle's Name");
        name->setFont(platform::graphics::Font::systemFontOfSize(20));
        name->setReturnKeyType(ReturnKeyType::Done);
        name->setDelegate(this);
        content.addSubview(name);

        auto odometer = std::make_shared<OdometerView>(Rect(84, 44, 130, 0));
        odometer->setTag(kOdometerTag);
        odometer->setEditable(true);
        odometer->setDelegate(this);
        content.addSubview(odometer);
    }
    View& content = cell->contentView();
    static_cast<ImageView*>(content.viewWithTag(kPictureTag))->setImage(m_vehicle.picture());
    auto* name = static_cast<TextField*>(content.viewWithTag(kNameFieldTag));
    name->setText(m_vehicle.name);
    name->setTextColor(firstColor());
    static_cast<OdometerView*>(content.viewWithTag(kOdometerTag))->setValue(m_vehicle.odometer);
    return cell;
}

std::shared_ptr<TableViewCell> EditVehicleViewController::licensePlateCell(TableView& table) {
    std::shared_ptr<TableViewCell> cell = table.dequeueReusableCellWithIdentifier(kLicensePlateCell);
    if (!cell) {
        cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, kLicensePlateCell);
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        cell->contentView().addSubview(rowLabel(kSelectionLabels[kLicensePlateRow]));
        auto field = std::make_shared<TextField>(Rect(120, 11, 168, 22));
        field->setTag(kLicensePlateTag);
        field->setTextAlignment(TextAlignment::Right);
        field->setFont(platform::graphics::Font::systemFontOfSize(16));
        field->setAutocapitalizationType(AutocapitalizationType::AllCharacters);
        field->setReturnKeyType(ReturnKeyType::Done);
        field->setDelegate(this);
        cell->contentView().addSubview(field);
    }
    auto* field = static_cast<TextField*>(cell->contentView().viewWithTag(kLicensePlateTag));
    field->setText(m_vehicle.licensePlate);
    field->setTextColor(firstColor());
    return cell;
}

std::shared_ptr<TableViewCell> EditVehicleViewController::selectionCell(TableView& table, int row) {
    std::shared_ptr<TableViewCell> cell = table.dequeueReusableCellWithIdentifier(kSelectionCell);
    if (!cell) {
        cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, kSelectionCell);
        cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        cell->contentView().addSubview(rowLabel(""));
        auto value = std::make_shared<Label>(Rect(90, 11, 180, 22));
        value->setTag(kValueTag);
        value->setTextAlignment(TextAlignment::Right);
        cell->contentView().addSubview(value);
    }
    std::string text;
    switch (row) {
    case kMakeRow:
        text = m_vehicle.make;
        break;
    case kModelRow:
        text = m_vehicle.model;
        break;
    case kYearRow:
        text = m_vehicle.year > 0 ? std::to_string(m_vehicle.year) : "";
        break;
    case kNotesRow:
        text = m_vehicle.notes;
        break;
    default:
        break;
    }
    View& content = cell->contentView();
    auto* label = static_cast<Label*>(content.viewWithTag(kLabelTag));
    label->setText(kSelectionLabels[row]);
    setSmallFont(*label);
    auto* value = static_cast<Label*>(content.viewWithTag(kValueTag));
    // Notes show as one line.
    std::replace(text.begin(), text.end(), '\n', ' ');
    value->setText(text);
    setMediumFont(*value);
    return cell;
}

std::shared_ptr<TableViewCell> EditVehicleViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    std::shared_ptr<TableViewCell> cell;
    if (indexPath.section == 0 && indexPath.row == 0)
        cell = nameCell(table);
    else if (indexPath.section == 1 && indexPath.row == kLicensePlateRow)
        cell = licensePlateCell(table);
    else if (indexPath.section == 1 && indexPath.row >= kMakeRow && indexPath.row <= kNotesRow)
        cell = selectionCell(table, indexPath.row);
    if (!cell) {
        cell = table.dequeueReusableCellWithIdentifier(kEmptyCell);
        if (!cell)
            cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, kEmptyCell);
    }
    cell->setBackgroundColor(formBackground());
    return cell;
}

double EditVehicleViewController::heightForRowAtIndexPath(TableView&, IndexPath indexPath) {
    return indexPath.section == 0 ? 80 : 44;
}

std::shared_ptr<View> EditVehicleViewController::viewForHeaderInSection(TableView&, int section) {
    if (section == 1)
        return tableHeaderViewWithText("Optional Information");
    return nullptr;
}

void EditVehicleViewController::didSelectRowAtIndexPath(TableView&, IndexPath indexPath) {
    m_selectedRow = indexPath.row;
    resignKeyboard();
    NavigationController* navigation = navigationController();

    if (indexPath.section == 0) {
        if (TextField* field = nameField())
            field->becomeFirstResponder();
        return;
    }
    switch (indexPath.row) {
    case kLicensePlateRow:
        if (TextField* field = licensePlateField())
            field->becomeFirstResponder();
        break;
    case kMakeRow:
    case kModelRow: {
        bool make = indexPath.row == kMakeRow;
        std::vector<std::string> known = make ? DB::allMakes() : DB::allModels();
        const std::string& current = make ? m_vehicle.make : m_vehicle.model;
        std::shared_ptr<ThemedViewController> editor;
        if (!known.empty()) {
            auto list = std::make_shared<SelectionViewController>(known, current);
            list->setDelegate(this);
            editor = list;
        } else {
            auto text
                = std::make_shared<GenericEditViewController>(GenericEditViewController::TextEditor, current);
            text->setDelegate(this);
            editor = text;
        }
        editor->setTitle(kSelectionLabels[indexPath.row]);
        if (navigation)
            navigation->pushViewController(editor, true);
        break;
    }
    case kYearRow: {
        int thisYear = platform::Calendar().components(platform::Clock::now()).year.value_or(1920);
        std::string selected = std::to_string(m_vehicle.year > 0 ? m_vehicle.year : thisYear);
        auto editor = std::make_shared<GenericEditViewController>(
            GenericEditViewController::ListEditor, selected, yearValues());
        editor->setDelegate(this);
        if (navigation)
            navigation->pushViewController(editor, true);
        break;
    }
    case kNotesRow: {
        auto notes = std::make_shared<NotesViewController>();
        notes->setDelegate(this);
        notes->setTitle("Notes");
        if (navigation)
            navigation->pushViewController(notes, true);
        notes->notesView().setText(m_vehicle.notes);
        break;
    }
    default:
        break;
    }
}

std::vector<std::string> EditVehicleViewController::yearValues() {
    int thisYear = platform::Calendar().components(platform::Clock::now()).year.value_or(1920);
    std::vector<std::string> years;
    for (int year = 1920; year <= thisYear; ++year)
        years.push_back(std::to_string(year));
    return years;
}

void EditVehicleViewController::didSelectValue(ViewController&, const EditorValue& value, int) {
    switch (m_selectedRow) {
    case kMakeRow:
        m_vehicle.make = value.text();
        break;
    case kModelRow:
        m_vehicle.model = value.text();
        break;
    case kYearRow:
        m_vehicle.year = OdometerView::intValue(value.text());
        break;
    case kNotesRow:
        m_vehicle.notes = value.text();
        break;
    default:
        break;
    }
    if (m_vehicleTableView)
        m_vehicleTableView->reloadData();
}

// --- Entries

bool EditVehicleViewController::shouldChangeCharactersInRange(
    TextField& field, TextRange, const std::string& replacement) {
    return characterCount(field.text()) < kMaximumTextLength || replacement.empty();
}

void EditVehicleViewController::textFieldDidBeginEditing(TextField& field) {
    m_textFieldBeingEdited = &field;
    addStockButtonToKeypad(Application::sharedApplication());
}

void EditVehicleViewController::textFieldDidEndEditing(TextField& field) {
    switch (field.tag()) {
    case kNameFieldTag:
        m_vehicle.name = field.text();
        break;
    case kOdometerTag:
        m_vehicle.odometer = OdometerView::intValue(field.text());
        break;
    case kLicensePlateTag:
        m_vehicle.licensePlate = field.text();
        break;
    default:
        break;
    }
    if (m_textFieldBeingEdited == &field)
        m_textFieldBeingEdited = nullptr;
}

bool EditVehicleViewController::textFieldShouldReturn(TextField& field) {
    field.resignFirstResponder();
    return false;
}

void EditVehicleViewController::resignKeyboard() {
    if (m_textFieldBeingEdited)
        m_textFieldBeingEdited->resignFirstResponder();
}

// --- Keyboard

void EditVehicleViewController::moveTable(Rect frame) {
    if (!m_vehicleTableView)
        return;
    auto table = m_vehicleTableView;
    View::animate(0.25, AnimationCurve::EaseOut, [table, frame] { table->setFrame(frame); });
}

void EditVehicleViewController::keyboardDidShow(const platform::Notification&) {
    if (m_textFieldBeingEdited && m_textFieldBeingEdited->tag() == kLicensePlateTag)
        moveTable({0, -kLicensePlateLift, 320, 480});
    else
        moveTable(view()->bounds());
}

void EditVehicleViewController::keyboardDidHide(const platform::Notification&) {
    moveTable(view()->bounds());
}

// --- Picture

void EditVehicleViewController::takePicture() {
    if (ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::Camera)) {
        auto sheet = std::make_shared<ActionSheet>("", this, "Cancel", std::nullopt,
            std::vector<std::string> {"Take Photo", "Choose Existing Photo"});
        sheet->showInView(view().get());
    } else {
        showImagePickerWithSourceType(ImagePickerSourceType::PhotoLibrary);
    }
}

void EditVehicleViewController::clickedButtonAtIndex(ActionSheet& sheet, int buttonIndex) {
    if (buttonIndex == sheet.cancelButtonIndex())
        return;
    if (buttonIndex == 0)
        showImagePickerWithSourceType(ImagePickerSourceType::Camera);
    else if (buttonIndex == 1)
        showImagePickerWithSourceType(ImagePickerSourceType::PhotoLibrary);
}

void EditVehicleViewController::showImagePickerWithSourceType(ImagePickerSourceType sourceType) {
    auto picker = std::make_shared<ImagePickerController>();
    picker->setSourceType(sourceType);
    picker->setAllowsEditing(true);
    picker->setDelegate(this);
    picker->navigationBar().setTintColor(firstColor());
    presentModalViewController(picker, true);
}

platform::graphics::Image EditVehicleViewController::vehiclePicture(const platform::graphics::Image& picked) {
    platform::graphics::Image scaled = imageByScalingToSize(picked, {kPictureSize, kPictureSize});
    return roundedCornerImageWithRadius(scaled, kPictureCornerRadius);
}

void EditVehicleViewController::didFinishPickingImage(
    ImagePickerController&, const platform::graphics::Image& image, const ImagePickerInfo& info) {
    dismissModalViewControllerAnimated(true);
    const platform::graphics::Image& picked = info.editedImage ? info.editedImage : image;
    if (!picked)
        return;
    m_vehicle.setPicture(vehiclePicture(picked));
    if (auto* picture = dynamic_cast<ImageView*>(viewInRow(0, 0, kPictureTag)))
        picture->setImage(m_vehicle.picture());
}

void EditVehicleViewController::imagePickerControllerDidCancel(ImagePickerController&) {
    dismissModalViewControllerAnimated(true);
}

// --- Save

void EditVehicleViewController::saveButtonPressed() {
    resignKeyboard();
    if (m_vehicle.name.empty()) {
        auto alert
            = std::make_shared<AlertView>("Invalid Data", "Vehicle's Name is required.", nullptr, "OK");
        alert->show();
        return;
    }
    DB::saveVehicle(m_vehicle);
    // The picture file is named after the vid; a car the store could not take has none.
    if (m_vehicle.vid != 0) {
        if (platform::graphics::Image picture = m_vehicle.picture())
            picture.writeToFile(m_vehicle.pictureFile());
    }
    if (NavigationController* navigation = navigationController())
        navigation->popViewControllerAnimated(true);
}
