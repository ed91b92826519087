#include "screens/EditVehicleViewController.h"

#include <algorithm>

#include "QLCoreLibrary/ImageExtensions.h"
#include "data/DB.h"
#include "platform/base/Calendar.h"
#include "platform/base/Clock.h"
#include "platform/base/SharedFrom.h"
#include "platform/views/Button.h"
#include "platform/views/ImageView.h"
#include "platform/views/NavigationController.h"
#include "ui/FormCell.h"
#include "ui/GenericEditViewController.h"
#include "ui/NotesViewController.h"
#include "ui/OdometerView.h"
#include "ui/SelectionViewController.h"

using namespace platform::views;

namespace {

constexpr const char* kNameCell = "name-cell";
constexpr const char* kLicensePlateCell = "license-plate-cell";
constexpr const char* kSelectionCell = "selection-cell";
constexpr const char* kEmptyCell = "empty-cell";
// The form rises by this much while the licence plate entry has the keyboard.
constexpr double kLicensePlateLift = 80;

const char* const kSelectionLabels[] = {"License Plate", "Make", "Model", "Year", "Notes"};

int thisYear() {
    return platform::Calendar().components(platform::Clock::now()).year.value_or(1920);
}

} // namespace

// The first row: the picture with a borderless button over it, the name and the odometer.
class EditVehicleViewController::NameCell : public TableViewCell {
public:
    NameCell(std::function<void()> takePicture, const std::string& identifier)
        : TableViewCell(TableViewCellStyle::Default, identifier) {
        setSelectionStyle(TableViewCellSelectionStyle::None);
        m_picture->setTag(kPictureTag);
        m_picture->setOpaque(false);
        m_button->setFrame(m_picture->frame());
        m_button->addTarget(std::move(takePicture), ControlEventTouchUpInside);
        m_name->setTag(kNameFieldTag);
        m_name->setPlaceholder("Vehicle's Name");
        m_name->setFont(platform::graphics::Font::systemFontOfSize(20));
        m_name->setReturnKeyType(ReturnKeyType::Done);
        m_odometer->setTag(kOdometerTag);
        m_odometer->setEditable(true);
        for (const std::shared_ptr<View>& view :
            {std::shared_ptr<View>(m_picture), std::shared_ptr<View>(m_button), std::shared_ptr<View>(m_name),
                std::shared_ptr<View>(m_odometer)})
            contentView().addSubview(view);
    }
    ImageView& picture() const { return *m_picture; }
    Button& pictureButton() const { return *m_button; }
    TextField& name() const { return *m_name; }
    OdometerView& odometer() const { return *m_odometer; }

private:
    std::shared_ptr<ImageView> m_picture {std::make_shared<ImageView>(Rect(8, 8, 64, 64))};
    std::shared_ptr<Button> m_button {std::make_shared<Button>(ButtonType::Custom)};
    std::shared_ptr<TextField> m_name {std::make_shared<TextField>(Rect(84, 10, 200, 28))};
    std::shared_ptr<OdometerView> m_odometer {std::make_shared<OdometerView>(Rect(84, 44, 130, 0))};
};

EditVehicleViewController::EditVehicleViewController(std::optional<Vehicle> vehicle)
    : ThemedTableViewController(kLayoutName, TableViewStyle::Grouped) {
    if (vehicle) {
        m_vehicle = std::move(*vehicle);
        m_isNew = false;
    }
    FormEntries& form = entries();
    form.addText(kNameFieldTag, m_vehicle.name);
    form.addOdometer(kOdometerTag, m_vehicle.odometer);
    form.addText(kLicensePlateTag, m_vehicle.licensePlate);
    form.setLift(kLicensePlateTag, kLicensePlateLift);
}

void EditVehicleViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    setTitle(m_isNew ? "Add Car" : m_vehicle.name);
    navigationItem().setRightBarButtonItem(std::make_shared<BarButtonItem>(
        BarButtonSystemItem::Save, action(&EditVehicleViewController::saveButtonPressed)));
}

void EditVehicleViewController::viewDidAppear(bool animated) {
    ThemedTableViewController::viewDidAppear(animated);
    if (m_vehicle.name.empty())
        entries().beginEditing(kNameFieldTag);
}

// --- The form

EditVehicleViewController::NameCell* EditVehicleViewController::nameCell() {
    return dynamic_cast<NameCell*>(tableView()->cellForRowAtIndexPath(IndexPath::forRow(0, 0)));
}

OdometerView* EditVehicleViewController::odometerView() {
    NameCell* cell = nameCell();
    return cell ? &cell->odometer() : nullptr;
}

View* EditVehicleViewController::pictureButton() {
    NameCell* cell = nameCell();
    return cell ? &cell->pictureButton() : nullptr;
}

std::shared_ptr<TableViewCell> EditVehicleViewController::cellForRowAtIndexPath(
    TableView& table, IndexPath indexPath) {
    if (indexPath.section == 0 && indexPath.row == 0) {
        auto cell
            = table.dequeueReusableCell<NameCell>(kNameCell, action(&EditVehicleViewController::takePicture));
        cell->setBackgroundColor(Color::white(1, 0.5));
        cell->picture().setImage(m_vehicle.picture());
        cell->name().setTextColor(firstColor());
        entries().attach(kNameFieldTag, cell->name());
        entries().attach(kOdometerTag, cell->odometer());
        return cell;
    }
    if (indexPath.section == 1 && indexPath.row >= kLicensePlateRow && indexPath.row <= kNotesRow)
        return cellForSecondSection(table, indexPath.row);
    return table.dequeueReusableCell(kEmptyCell, TableViewCellStyle::Default);
}

std::shared_ptr<TableViewCell> EditVehicleViewController::cellForSecondSection(TableView& table, int row) {
    if (row == kLicensePlateRow) {
        auto cell = table.dequeueReusableCell<FormCell<TextField>>(
            kLicensePlateCell, Rect(10, 11, 110, 22), Rect(120, 11, 168, 22));
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        cell->label().setText(kSelectionLabels[row]);
        setSmallFont(cell->label());
        TextField& field = cell->value();
        field.setTag(kLicensePlateTag);
        field.setTextAlignment(TextAlignment::Right);
        field.setFont(platform::graphics::Font::systemFontOfSize(16));
        field.setAutocapitalizationType(AutocapitalizationType::AllCharacters);
        field.setReturnKeyType(ReturnKeyType::Done);
        field.setTextColor(firstColor());
        entries().attach(kLicensePlateTag, field);
        return cell;
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
    default:
        // Notes show as one line.
        text = m_vehicle.notes;
        std::replace(text.begin(), text.end(), '\n', ' ');
        break;
    }
    auto cell = table.dequeueReusableCell<FormCell<Label>>(
        kSelectionCell, Rect(10, 11, 110, 22), Rect(90, 11, 180, 22));
    cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    cell->label().setText(kSelectionLabels[row]);
    setSmallFont(cell->label());
    cell->value().setText(text);
    cell->value().setTextAlignment(TextAlignment::Right);
    setMediumFont(cell->value());
    return cell;
}

std::shared_ptr<View> EditVehicleViewController::viewForHeaderInSection(TableView&, int section) {
    return section == 1 ? tableHeaderViewWithText("Optional Information") : nullptr;
}

void EditVehicleViewController::didSelectRowAtIndexPath(TableView&, IndexPath indexPath) {
    m_selectedRow = indexPath.row;
    entries().resign();
    if (indexPath.section == 0) {
        entries().beginEditing(kNameFieldTag);
        return;
    }
    std::shared_ptr<ThemedViewController> editor;
    auto self = platform::sharedFrom(this);
    switch (indexPath.row) {
    case kLicensePlateRow:
        entries().beginEditing(kLicensePlateTag);
        return;
    case kMakeRow:
    case kModelRow: {
        bool make = indexPath.row == kMakeRow;
        std::vector<std::string> known = make ? DB::allMakes() : DB::allModels();
        const std::string& current = make ? m_vehicle.make : m_vehicle.model;
        if (!known.empty()) {
            auto list = std::make_shared<SelectionViewController>(known, current);
            list->setDelegate(self);
            editor = list;
        } else {
            auto text
                = std::make_shared<GenericEditViewController>(GenericEditViewController::TextEditor, current);
            text->setDelegate(self);
            editor = text;
        }
        editor->setTitle(kSelectionLabels[indexPath.row]);
        break;
    }
    case kYearRow: {
        std::string selected = std::to_string(m_vehicle.year > 0 ? m_vehicle.year : thisYear());
        auto years = std::make_shared<GenericEditViewController>(
            GenericEditViewController::ListEditor, selected, yearValues());
        years->setDelegate(self);
        editor = years;
        break;
    }
    case kNotesRow: {
        auto notes = std::make_shared<NotesViewController>();
        notes->setDelegate(self);
        notes->setTitle("Notes");
        if (NavigationController* navigation = navigationController())
            navigation->pushViewController(notes, true);
        notes->notesView().setText(m_vehicle.notes);
        return;
    }
    default:
        return;
    }
    if (NavigationController* navigation = navigationController())
        navigation->pushViewController(editor, true);
}

std::vector<std::string> EditVehicleViewController::yearValues() {
    std::vector<std::string> years;
    for (int year = 1920; year <= thisYear(); ++year)
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
    tableView()->reloadData();
}

// --- Picture

void EditVehicleViewController::takePicture() {
    if (ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType::Camera)) {
        auto sheet = std::make_shared<ActionSheet>("", platform::sharedFrom(this), "Cancel", std::nullopt,
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
    picker->setDelegate(platform::sharedFrom(this));
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
    if (NameCell* cell = nameCell())
        cell->picture().setImage(m_vehicle.picture());
}

void EditVehicleViewController::imagePickerControllerDidCancel(ImagePickerController&) {
    dismissModalViewControllerAnimated(true);
}

// --- Save

void EditVehicleViewController::saveButtonPressed() {
    entries().resign();
    if (m_vehicle.name.empty()) {
        showAlert("Invalid Data", "Vehicle's Name is required.");
        return;
    }
    if (!DB::saveVehicle(m_vehicle)) {
        showSaveFailedAlert();
        return;
    }
    // The picture file is named after the vid.
    if (platform::graphics::Image picture = m_vehicle.picture())
        picture.writeToFile(m_vehicle.pictureFile());
    if (NavigationController* navigation = navigationController())
        navigation->popViewControllerAnimated(true);
}
