#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "data/DB.h"
#include "platform/base/Clock.h"
#include "platform/base/FileSystem.h"
#include "platform/graphics/ImageContext.h"
#include "platform/views/ActionSheet.h"
#include "platform/views/ImagePickerController.h"
#include "platform/views/ImageView.h"
#include "platform/views/Label.h"
#include "platform/views/PickerView.h"
#include "platform/views/TableViewCell.h"
#include "screens/EditVehicleViewController.h"
#include "ui/GenericEditViewController.h"
#include "ui/NotesViewController.h"
#include "ui/OdometerView.h"
#include "ui/SelectionViewController.h"

using namespace vantrel::test;
using namespace platform::views;
using platform::graphics::Image;

namespace {

// A phone that can say whether it has a camera and remembers where pictures were asked from.
class CameraAppDriver : public AppDriver {
public:
    void pickImage(ImagePickerSourceType type, std::function<void(Image)> completion) override {
        sources.push_back(type);
        AppDriver::pickImage(type, std::move(completion));
    }
    std::vector<ImagePickerSourceType> sources;
};

// A 300 x 200 photograph: red, with a blue square in the middle.
Image photograph() {
    platform::graphics::ImageContext image({300, 200}, true, 1);
    image.context().setFillColor(Color::rgba(1, 0, 0));
    image.context().fillRect({0, 0, 300, 200});
    image.context().setFillColor(Color::rgba(0, 0, 1));
    image.context().fillRect({120, 70, 60, 60});
    return image.image();
}

class EditVehicleViewControllerTest : public VantrelAppTest {
protected:
    std::unique_ptr<AppDriver> makeDriver() override { return std::make_unique<CameraAppDriver>(); }
    CameraAppDriver& camera() { return static_cast<CameraAppDriver&>(driver()); }

    // Opens the editor as the list's add button does.
    EditVehicleViewController& openNew() {
        launch();
        root().addButtonPressed();
        driver().runUntilIdle();
        return top<EditVehicleViewController>();
    }
    // A new car's name takes the keyboard, which covers the lower rows: Done puts it away.
    EditVehicleViewController& openNewWithoutKeyboard() {
        auto& editor = openNew();
        driver().pressReturn();
        return editor;
    }
    EditVehicleViewController& openExisting(const Vehicle& vehicle) {
        launch();
        driver().pressRightBarButton(); // Edit
        driver().tapRow(*root().table(), 0, 0);
        auto& editor = top<EditVehicleViewController>();
        EXPECT_EQ(editor.vehicle().vid, vehicle.vid);
        return editor;
    }
    std::string valueShown(EditVehicleViewController& editor, int row) {
        TableViewCell& cell = driver().scrollToRow(*editor.vehicleTableView(), 1, row);
        auto* value = dynamic_cast<Label*>(cell.contentView().viewWithTag(2));
        return value ? value->text() : "<no value label>";
    }
};

} // namespace

TEST_F(EditVehicleViewControllerTest, NameAndLicensePlateStopAtFiftyCharactersButTakeDeletionsAndPastes) {
    auto& editor = openNew();
    TextField& name = *editor.nameField();
    EXPECT_TRUE(name.isFirstResponder()); // a new car: the name takes the keyboard at once
    EXPECT_EQ(name.placeholder(), "Vehicle's Name");

    driver().type(name, std::string(49, 'a'));
    name.insertText("bcd"); // a paste into 49 characters goes in whole
    EXPECT_EQ(name.text(), std::string(49, 'a') + "bcd");
    driver().type(name, "e");
    EXPECT_EQ(name.text().size(), 52u);
    driver().pressDelete();
    EXPECT_EQ(name.text(), std::string(49, 'a') + "bc");

    TextField& plate = *editor.licensePlateField();
    EXPECT_EQ(plate.autocapitalizationType(), AutocapitalizationType::AllCharacters);
    driver().tapRow(*editor.vehicleTableView(), 1, 0);
    EXPECT_TRUE(plate.isFirstResponder());
    driver().type(plate, std::string(50, 'X'));
    driver().type(plate, "Y");
    EXPECT_EQ(plate.text(), std::string(50, 'X'));

    // Leaving by the back button stores nothing.
    driver().pressBack();
    EXPECT_TRUE(DB::vehiclesWithServiceDueInDays(14, 500).empty());
}

TEST_F(EditVehicleViewControllerTest, EveryFieldIsStoredOnSaveAndNothingWithoutIt) {
    auto& editor = openNew();
    driver().type(*editor.nameField(), "Runabout\n");
    EXPECT_FALSE(editor.nameField()->isFirstResponder());
    EXPECT_EQ(editor.nameField()->text(), "Runabout");
    driver().tapRow(*editor.vehicleTableView(), 1, 0);
    driver().type(*editor.licensePlateField(), "AB 123");
    // Make: nothing in the store yet, so a free-text editor.
    driver().tapRow(*editor.vehicleTableView(), 1, 1);
    auto* make = dynamic_cast<GenericEditViewController*>(driver().topViewController());
    ASSERT_NE(make, nullptr);
    EXPECT_EQ(make->editorType(), GenericEditViewController::TextEditor);
    EXPECT_EQ(driver().navigationTitle(), "Make");
    driver().type(make->textField(), "Fiat");
    driver().pressRightBarButton();
    ASSERT_EQ(driver().topViewController(), &editor);
    EXPECT_EQ(valueShown(editor, 1), "Fiat");
    // Notes come back whichever way the notes screen is left.
    driver().tapRow(*editor.vehicleTableView(), 1, 4);
    auto& notes = top<NotesViewController>();
    EXPECT_EQ(driver().navigationTitle(), "Notes");
    driver().type(notes.notesView(), "Blue");
    driver().pressBack();
    EXPECT_EQ(valueShown(editor, 4), "Blue");
    driver().tap(*editor.odometerView());
    driver().type(editor.odometerView()->hiddenTextField(), "777");

    // Nothing is stored before Save.
    EXPECT_TRUE(DB::vehiclesWithServiceDueInDays(14, 500).empty());
    driver().pressRightBarButton();
    ASSERT_EQ(driver().topViewController(), &root());

    std::vector<Vehicle> stored = DB::vehiclesWithServiceDueInDays(14, 500);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].name, "Runabout");
    EXPECT_EQ(stored[0].licensePlate, "AB 123");
    EXPECT_EQ(stored[0].make, "Fiat");
    EXPECT_EQ(stored[0].notes, "Blue");
    EXPECT_EQ(stored[0].odometer, 777);
    // No picture chosen: the sample car is written as the car's picture.
    EXPECT_TRUE(platform::fs::fileExists(stored[0].pictureFile()));
}

TEST_F(EditVehicleViewControllerTest, MakeAndModelPickFromTheStoreOrAddANewOne) {
    // The store offers each make and model in use once, in alphabetical order whatever the case.
    addVehicle("One", 1, "Honda", "Civic");
    addVehicle("Two", 1, "audi", "A4");
    addVehicle("Three", 1, "Honda", "");
    auto& editor = openNewWithoutKeyboard();

    driver().tapRow(*editor.vehicleTableView(), 1, 1);
    auto& makes = top<SelectionViewController>();
    EXPECT_EQ(makes.values(), (std::vector<std::string> {"audi", "Honda", "Add new make"}));
    driver().tapRow(*makes.selectionTableView(), 0, 1);
    ASSERT_EQ(driver().topViewController(), &editor);
    EXPECT_EQ(editor.vehicle().make, "Honda");
    driver().pressReturn(); // the name, still empty, took the keyboard again

    driver().tapRow(*editor.vehicleTableView(), 1, 2);
    auto& models = top<SelectionViewController>();
    EXPECT_EQ(models.values(), (std::vector<std::string> {"A4", "Civic", "Add new model"}));
    driver().tapRow(*models.selectionTableView(), 0, 2); // Add new model
    auto& typed = top<GenericEditViewController>();
    driver().type(typed.textField(), "740");
    driver().pressRightBarButton();
    ASSERT_EQ(driver().topViewController(), &editor);
    EXPECT_EQ(editor.vehicle().model, "740");
    EXPECT_EQ(valueShown(editor, 2), "740");
}

TEST_F(EditVehicleViewControllerTest, TheYearPickerRunsFrom1920ToThisYearAndOpensOnTheCarsYear) {
    platform::Clock::setNow(localTime(2013, 7, 4, 12));
    auto& editor = openNewWithoutKeyboard();
    std::vector<std::string> years = EditVehicleViewController::yearValues();
    ASSERT_EQ(years.size(), 2013u - 1920u + 1u);
    EXPECT_EQ(years.front(), "1920");
    EXPECT_EQ(years.back(), "2013");

    // Year 0: the wheel opens on this year.
    driver().tapRow(*editor.vehicleTableView(), 1, 3);
    auto& picker = top<GenericEditViewController>();
    EXPECT_EQ(picker.editorType(), GenericEditViewController::ListEditor);
    EXPECT_EQ(picker.values(), years);
    EXPECT_EQ(picker.textField().text(), "2013");
    EXPECT_EQ(picker.pickerView()->selectedRowInComponent(0), int(years.size()) - 1);
    // Two rows up the wheel.
    PickerView& wheel = *picker.pickerView();
    Rect row = wheel.convertRectToView(wheel.rectForRow(int(years.size()) - 3, 0), nullptr);
    driver().tapAt(row.center());
    EXPECT_EQ(picker.textField().text(), "2011");
    driver().pressRightBarButton();
    ASSERT_EQ(driver().topViewController(), &editor);
    driver().pressReturn(); // the name, still empty, took the keyboard again
    EXPECT_EQ(editor.vehicle().year, 2011);
    EXPECT_EQ(valueShown(editor, 3), "2011");

    driver().tapRow(*editor.vehicleTableView(), 1, 3);
    EXPECT_EQ(top<GenericEditViewController>().textField().text(), "2011");
    EXPECT_EQ(
        top<GenericEditViewController>().pickerView()->selectedRowInComponent(0), int(years.size()) - 3);
}

TEST_F(EditVehicleViewControllerTest, APickedPhotoBecomesTheCarsRoundedPictureAndItsFile) {
    Vehicle car = addVehicle("Pickup", 100);
    auto& editor = openExisting(car);
    driver().setNextPickedImage(photograph());

    ASSERT_NE(editor.pictureButton(), nullptr);
    driver().tap(*editor.pictureButton()); // no camera: the library at once
    EXPECT_EQ(camera().sources, std::vector<ImagePickerSourceType> {ImagePickerSourceType::PhotoLibrary});
    ASSERT_EQ(driver().topViewController(), &editor);

    Image picture = editor.vehicle().picture();
    EXPECT_EQ(picture.size().width, 80);
    EXPECT_EQ(picture.size().height, 80);
    EXPECT_EQ(picture.colorAtPoint({0.5, 0.5}).alpha, 0); // a rounded corner
    EXPECT_GT(picture.colorAtPoint({40, 40}).blue, 0.9); // the photograph's middle
    EXPECT_GT(picture.colorAtPoint({40, 2}).red, 0.9);

    driver().pressRightBarButton();
    Image stored = Image::imageWithContentsOfFile(car.pictureFile());
    ASSERT_FALSE(stored.isNull());
    EXPECT_EQ(stored.pixelWidth(), picture.pixelWidth());
    EXPECT_GT(stored.colorAtPoint({stored.size().width / 2, stored.size().height / 2}).blue, 0.9);
    // The list shows the new picture.
    Vehicle listed = DB::vehiclesWithServiceDueInDays(14, 500).at(0);
    EXPECT_GT(listed.picture().colorAtPoint({listed.picture().size().width / 2, 2}).red, 0.9);
}

TEST_F(EditVehicleViewControllerTest, WithACameraTheUserChoosesTheSourceOrCancels) {
    driver().setCameraAvailable(true);
    auto& editor = openNew();
    driver().setNextPickedImage(photograph());

    driver().tap(*editor.pictureButton());
    ASSERT_NE(driver().actionSheet(), nullptr);
    ActionSheet& sheet = *driver().actionSheet();
    EXPECT_EQ(sheet.buttonTitleAtIndex(0), "Take Photo");
    EXPECT_EQ(sheet.buttonTitleAtIndex(1), "Choose Existing Photo");
    EXPECT_EQ(sheet.buttonTitleAtIndex(sheet.cancelButtonIndex()), "Cancel");
    driver().tapActionSheetButton(sheet.cancelButtonIndex());
    EXPECT_TRUE(camera().sources.empty());

    driver().tap(*editor.pictureButton());
    driver().tapActionSheetButton(0);
    EXPECT_EQ(camera().sources, std::vector<ImagePickerSourceType> {ImagePickerSourceType::Camera});
    EXPECT_GT(editor.vehicle().picture().colorAtPoint({40, 40}).blue, 0.9);
}

TEST_F(EditVehicleViewControllerTest, TheFormRisesWhileTheLicensePlateHasTheKeyboard) {
    Vehicle car = addVehicle("Sedan", 100);
    auto& editor = openExisting(car);
    TableView& form = *editor.vehicleTableView();
    Rect bounds = editor.view()->bounds();
    EXPECT_EQ(form.frame(), bounds);

    driver().tapRow(form, 1, 0);
    EXPECT_EQ(form.frame(), Rect(0, -80, 320, 480));
    keepScreen("vehicle-editor-license-plate");
    driver().pressReturn();
    EXPECT_EQ(form.frame(), bounds);
    driver().tap(*editor.nameField());
    EXPECT_EQ(form.frame(), bounds);
    driver().tapRow(form, 1, 0);
    EXPECT_EQ(form.frame(), Rect(0, -80, 320, 480));
    driver().pressReturn();

    // The odometer's number pad: the keypad key reads Done and ends the editing.
    driver().tap(*editor.odometerView());
    EXPECT_EQ(form.frame(), bounds);
    ASSERT_NE(driver().keyboardKey("Done"), nullptr);
    keepScreen("vehicle-editor-number-pad");
    for (int i = 0; i < 3; ++i)
        driver().pressDelete();
    EXPECT_EQ(editor.odometerView()->value(), -1);
    driver().type(editor.odometerView()->hiddenTextField(), "250");
    driver().tap(*driver().keyboardKey("Done"));
    EXPECT_FALSE(editor.odometerView()->hiddenTextField().isFirstResponder());
    EXPECT_EQ(editor.vehicle().odometer, 250);
}

TEST_F(EditVehicleViewControllerTest, ASaveTheStoreRefusesKeepsTheFormOpenAndSaysSo) {
    auto& editor = openNew();
    driver().type(*editor.nameField(), "Runabout\n");
    refuseWrites();
    driver().pressRightBarButton();
    const auto alert = driver().alert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title, "Error");
    EXPECT_NE(alert->message.find("could not be saved"), std::string::npos);
    driver().dismissAlert(0);
    EXPECT_EQ(driver().topViewController(), &editor);
    EXPECT_EQ(editor.nameField()->text(), "Runabout");
    EXPECT_TRUE(DB::vehiclesWithServiceDueInDays(14, 500).empty());
}
