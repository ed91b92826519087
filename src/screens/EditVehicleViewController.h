#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Vehicle.h"
#include "platform/views/ActionSheet.h"
#include "platform/views/ImagePickerController.h"
#include "platform/views/TextField.h"
#include "ui/GenericEditViewControllerDelegate.h"
#include "ui/ThemedTableViewController.h"

class OdometerView;

// Creates a car or edits one: its name (required), picture, odometer reading, licence plate,
// make, model, year and notes. Make, model, year and notes are chosen in value editors that
// hand the value back through didSelectValue. Edits live in the screen's own record until
// Save stores it (with the picture, as PNG, in the vehicle's picture file); leaving by the
// back button discards them.
class EditVehicleViewController : public ThemedTableViewController,
                                  public platform::views::ImagePickerControllerDelegate,
                                  public platform::views::ActionSheetDelegate,
                                  public GenericEditViewControllerDelegate {
public:
    static constexpr const char* kLayoutName = "EditVehicleViewController";
    // Views of the name row, and the licence plate entry, by tag.
    enum : int { kNameFieldTag = 100, kPictureTag = 101, kOdometerTag = 102, kLicensePlateTag = 103 };
    // Rows of the second section.
    enum : int { kLicensePlateRow = 0, kMakeRow = 1, kModelRow = 2, kYearRow = 3, kNotesRow = 4 };
    // The chosen picture is stored at this size (points) with corners of this radius.
    static constexpr double kPictureSize = 80;
    static constexpr int kPictureCornerRadius = 10;

    // None: a new car.
    explicit EditVehicleViewController(std::optional<Vehicle> vehicle);

    Vehicle& vehicle() { return m_vehicle; }
    int selectedRow() const { return m_selectedRow; }
    const std::shared_ptr<platform::views::TableView>& vehicleTableView() { return tableView(); }
    // The entry that has the keyboard, or none.
    platform::views::TextField* textFieldBeingEdited() { return entries().textFieldBeingEdited(); }
    // The entries of the form while their rows are shown, or none.
    platform::views::TextField* nameField() { return entries().field(kNameFieldTag); }
    platform::views::TextField* licensePlateField() { return entries().field(kLicensePlateTag); }
    OdometerView* odometerView();
    platform::views::View* pictureButton();

    // The years the year editor offers: "1920" up to the current year.
    static std::vector<std::string> yearValues();

    void saveButtonPressed();
    // Asks for a picture: camera or photo library when the device has a camera, else the
    // library at once.
    void takePicture();
    void showImagePickerWithSourceType(platform::views::ImagePickerSourceType sourceType);
    // The picked picture, as the record keeps it: 80 x 80 points with rounded corners.
    static platform::graphics::Image vehiclePicture(const platform::graphics::Image& picked);

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

    int numberOfSectionsInTableView(platform::views::TableView&) override { return 2; }
    int numberOfRowsInSection(platform::views::TableView&, int section) override {
        return section == 0 ? 1 : 5;
    }
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    double heightForRowAtIndexPath(
        platform::views::TableView&, platform::views::IndexPath indexPath) override {
        return indexPath.section == 0 ? 80 : 44;
    }
    double heightForHeaderInSection(platform::views::TableView&, int) override { return 36; }
    std::shared_ptr<platform::views::View> viewForHeaderInSection(
        platform::views::TableView&, int section) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

    void didSelectValue(
        platform::views::ViewController& editor, const EditorValue& value, int index) override;

    void didFinishPickingImage(platform::views::ImagePickerController& picker,
        const platform::graphics::Image& image, const platform::views::ImagePickerInfo& info) override;
    void imagePickerControllerDidCancel(platform::views::ImagePickerController& picker) override;
    void clickedButtonAtIndex(platform::views::ActionSheet& sheet, int buttonIndex) override;

private:
    class NameCell;
    NameCell* nameCell();
    std::shared_ptr<platform::views::TableViewCell> cellForSecondSection(
        platform::views::TableView& table, int row);

    Vehicle m_vehicle;
    bool m_isNew {true};
    int m_selectedRow {0};
};
