#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Vehicle.h"
#include "platform/views/ActionSheet.h"
#include "platform/views/ImagePickerController.h"
#include "platform/views/TableView.h"
#include "platform/views/TextField.h"
#include "ui/GenericEditViewControllerDelegate.h"
#include "ui/ThemedViewController.h"

class OdometerView;

// Creates a car or edits one: its name (required), picture, odometer reading, licence plate,
// make, model, year and notes. Make, model, year and notes are chosen in value editors that
// hand the value back through didSelectValue. Edits live in the screen's own record until
// Save stores it (with the picture, as PNG, in the vehicle's picture file); leaving by the
// back button discards them.
class EditVehicleViewController : public ThemedViewController,
                                  public platform::views::TableViewDataSource,
                                  public platform::views::TableViewDelegate,
                                  public platform::views::TextFieldDelegate,
                                  public platform::views::ImagePickerControllerDelegate,
                                  public platform::views::ActionSheetDelegate,
                                  public GenericEditViewControllerDelegate {
public:
    static constexpr const char* kLayoutName = "EditVehicleViewController";
    // Views of the name row, and the licence plate entry, by tag.
    enum : int { kNameFieldTag = 100, kPictureTag = 101, kOdometerTag = 102, kLicensePlateTag = 103 };
    // Rows of the second section.
    enum : int { kLicensePlateRow = 0, kMakeRow = 1, kModelRow = 2, kYearRow = 3, kNotesRow = 4 };
    // Longest name or licence plate that can be typed, in characters.
    static constexpr size_t kMaximumTextLength = 50;
    // The chosen picture is stored at this size (points) with corners of this radius.
    static constexpr double kPictureSize = 80;
    static constexpr int kPictureCornerRadius = 10;

    // None: a new car.
    explicit EditVehicleViewController(std::optional<Vehicle> vehicle);
    ~EditVehicleViewController() override;

    Vehicle& vehicle() { return m_vehicle; }
    int selectedRow() const { return m_selectedRow; }
    const std::shared_ptr<platform::views::TableView>& vehicleTableView() const { return m_vehicleTableView; }
    void setVehicleTableView(std::shared_ptr<platform::views::TableView> table);
    // The entry that has the keyboard, or none.
    platform::views::TextField* textFieldBeingEdited() const { return m_textFieldBeingEdited; }
    // The entries of the form while their rows are shown, or none.
    platform::views::TextField* nameField() const;
    platform::views::TextField* licensePlateField() const;
    OdometerView* odometerView() const;
    platform::views::View* pictureButton() const;

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
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void keyboardDidShow(const platform::Notification&) override;
    void keyboardDidHide(const platform::Notification&) override;

    // The table.
    int numberOfSectionsInTableView(platform::views::TableView&) override { return 2; }
    int numberOfRowsInSection(platform::views::TableView&, int section) override {
        return section == 0 ? 1 : 5;
    }
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    double heightForRowAtIndexPath(
        platform::views::TableView&, platform::views::IndexPath indexPath) override;
    double heightForHeaderInSection(platform::views::TableView&, int) override { return 36; }
    std::shared_ptr<platform::views::View> viewForHeaderInSection(
        platform::views::TableView&, int section) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

    // The name, licence plate and odometer entries.
    bool shouldChangeCharactersInRange(platform::views::TextField& field, platform::views::TextRange range,
        const std::string& replacement) override;
    void textFieldDidBeginEditing(platform::views::TextField& field) override;
    void textFieldDidEndEditing(platform::views::TextField& field) override;
    bool textFieldShouldReturn(platform::views::TextField& field) override;

    // Value editors.
    void didSelectValue(
        platform::views::ViewController& editor, const EditorValue& value, int index) override;

    // The picture.
    void didFinishPickingImage(platform::views::ImagePickerController& picker,
        const platform::graphics::Image& image, const platform::views::ImagePickerInfo& info) override;
    void imagePickerControllerDidCancel(platform::views::ImagePickerController& picker) override;
    void clickedButtonAtIndex(platform::views::ActionSheet& sheet, int buttonIndex) override;

private:
    std::shared_ptr<platform::views::TableViewCell> nameCell(platform::views::TableView& table);
    std::shared_ptr<platform::views::TableViewCell> licensePlateCell(platform::views::TableView& table);
    std::shared_ptr<platform::views::TableViewCell> selectionCell(platform::views::TableView& table, int row);
    platform::views::View* viewInRow(int section, int row, int tag) const;
    void resignKeyboard();
    void moveTable(platform::views::Rect frame);

    Vehicle m_vehicle;
    bool m_isNew {true};
    int m_selectedRow {0};
    std::shared_ptr<platform::views::TableView> m_vehicleTableView;
    platform::views::TextField* m_textFieldBeingEdited {nullptr};
};
