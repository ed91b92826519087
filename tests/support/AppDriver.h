#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/Image.h"
#include "platform/views/ActionSheet.h"
#include "platform/views/AlertView.h"
#include "platform/views/Application.h"
#include "platform/views/ApplicationHost.h"
#include "platform/views/NavigationController.h"
#include "platform/views/TableView.h"
#include "platform/views/Window.h"
#include "support/TemporarySandbox.h"

namespace vantrel::test {

// Drives the application the way a person would: a fresh sandbox, the application
// launched into a window, and taps, drags and typing that go through hit testing, the
// on-screen keyboard and the delegates, exactly as on the phone. It is also the
// application's host (opened addresses, pictures to pick, reminders shown).
//
// Every action runs the main loop until idle afterwards, so posted work (animation
// completions, callbacks) has happened when it returns. An action on something the user
// could not reach (a hidden or covered view, a missing button) fails the current test.
class AppDriver : public platform::views::ApplicationHost {
public:
    using View = platform::views::View;
    using ViewController = platform::views::ViewController;
    using Point = platform::graphics::Point;

    AppDriver();
    ~AppDriver() override;
    AppDriver(const AppDriver&) = delete;
    AppDriver& operator=(const AppDriver&) = delete;

    const TemporarySandbox& sandbox() const { return m_sandbox; }

    // Launching. The delegate is expected to make a window key and visible in
    // didFinishLaunchingWithOptions, as applications do.
    void launch(std::shared_ptr<platform::views::ApplicationDelegate> delegate);
    // A window whose root is `root` (wrap a screen in a NavigationController to get bars).
    void launchWithRootViewController(std::shared_ptr<ViewController> root);
    platform::views::Window& window();

    // Touches, in screen points.
    void tapAt(Point point);
    void drag(Point from, Point to, int steps = 6);
    // Taps the middle of the view's visible part; fails when the finger would land on
    // something else (the view is hidden, covered or takes no touches).
    void tap(const View& view);
    // Scrolls the row into view by dragging the table, then taps the row's title area.
    void tapRow(platform::views::TableView& table, int section, int row);
    // Scrolls until the row is fully in view, by dragging.
    platform::views::TableViewCell& scrollToRow(platform::views::TableView& table, int section, int row);
    // Swipes across the row from right to left (swipe to delete).
    void swipeRow(platform::views::TableView& table, int section, int row);
    // Taps the "Delete" button of the row that shows one.
    void tapDeleteConfirmation(platform::views::TableView& table, int section, int row);
    // Drags a row by its reorder control onto the position of another row.
    void moveRow(platform::views::TableView& table, int section, int fromRow, int toRow);

    // Typing: taps the entry when it has no keyboard yet, then presses one key per
    // character on the on-screen keyboard (number keys, the application's extra key) or,
    // for keys the keyboard does not show, as the host forwards them. "\n" is return.
    void type(const View& entry, const std::string& text);
    // Keys as the host forwards them (a desktop keyboard).
    void typeForwarded(const std::string& text);
    void pressDelete();
    void pressReturn();
    // The key on the keyboard showing `title` ("7", "delete", "Done", "."), or none.
    View* keyboardKey(const std::string& title);

    // Navigation bar of the navigation controller on screen.
    void pressRightBarButton();
    void pressLeftBarButton();
    void pressBack();
    std::string navigationTitle();
    std::string backButtonTitle();
    platform::views::NavigationController* navigationController();
    // The screen on top: the top of the visible navigation stack (or the presented screen).
    ViewController* topViewController();

    // The alert or action sheet on screen.
    struct AlertInfo {
        std::string title;
        std::string message;
        std::vector<std::string> buttons;
    };
    std::optional<AlertInfo> alert();
    platform::views::AlertView* alertView();
    void dismissAlert(int buttonIndex);
    platform::views::ActionSheet* actionSheet();
    void tapActionSheetButton(int buttonIndex);

    bool renderPNG(const std::string& path);
    platform::graphics::Image render();
    void runUntilIdle();

    // Host: what the application asked of it.
    const std::vector<std::string>& openedURLs() const { return m_openedURLs; }
    void setCanOpenURLs(bool can) { m_canOpenURLs = can; }
    // The picture the next pick answers (a null image cancels).
    void setNextPickedImage(platform::graphics::Image image) { m_nextPicture = std::move(image); }
    void setCameraAvailable(bool available) { m_cameraAvailable = available; }
    const std::vector<platform::views::LocalNotification>& presentedNotifications() const {
        return m_presented;
    }
    int keyboardChanges() const { return m_keyboardChanges; }
    // Files the application handed to the user (downloads), as the driver kept them.
    struct SavedFile {
        std::string name;
        std::string contentType;
        std::string bytes;
    };
    const std::vector<SavedFile>& savedFiles() const { return m_savedFiles; }
    // What the next file pick answers: a file of these bytes under this name (none cancels).
    void setNextPickedFile(std::optional<std::string> bytes, const std::string& name = "") {
        m_nextFile = std::move(bytes);
        m_nextFileName = name;
    }

    bool openURL(const std::string& url) override;
    bool canOpenURL(const std::string& url) override;
    void presentLocalNotification(const platform::views::LocalNotification& notification) override;
    bool isSourceTypeAvailable(platform::views::ImagePickerSourceType type) override;
    void pickImage(platform::views::ImagePickerSourceType type,
        std::function<void(platform::graphics::Image)> completion) override;
    void keyboardDidChange() override { ++m_keyboardChanges; }
    bool canTransferFiles() override { return true; }
    bool saveFile(
        const std::string& path, const std::string& suggestedName, const std::string& contentType) override;
    void pickFile(const std::vector<std::string>& extensions,
        std::function<void(std::optional<platform::views::PickedFile>)> completion) override;

private:
    Point visibleCenter(const View& view);
    bool reaches(const View* hit, const View& target) const;

    TemporarySandbox m_sandbox;
    std::shared_ptr<platform::views::ApplicationDelegate> m_delegate;
    std::vector<std::string> m_openedURLs;
    bool m_canOpenURLs {true};
    platform::graphics::Image m_nextPicture;
    bool m_cameraAvailable {false};
    std::vector<platform::views::LocalNotification> m_presented;
    int m_keyboardChanges {0};
    std::vector<SavedFile> m_savedFiles;
    std::optional<std::string> m_nextFile;
    std::string m_nextFileName;
    int m_picks {0};
};

} // namespace vantrel::test
