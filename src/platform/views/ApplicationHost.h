#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/Image.h"
#include "platform/views/LocalNotification.h"

namespace platform::views {

enum class ImagePickerSourceType { PhotoLibrary, Camera, SavedPhotosAlbum };

// A file the user chose: a copy in a temporary place, which the receiver owns (and removes),
// and the name it had where the user took it from.
struct PickedFile {
    std::string path;
    std::string name;
};

// Whoever shows the application to a person (the browser shell, the test driver)
// implements this to do what the phone itself would: open addresses, show the badge and
// reminders, take pictures, show web content. Every operation has a do-nothing default.
class ApplicationHost {
public:
    virtual ~ApplicationHost() = default;

    virtual bool openURL(const std::string& url) { return false; }
    virtual bool canOpenURL(const std::string& url) { return false; }
    virtual void badgeNumberDidChange(int number) { }
    // The list of scheduled reminders changed.
    virtual void localNotificationsDidChange() { }
    // A reminder fired while the application was not active: show it to the user.
    virtual void presentLocalNotification(const LocalNotification& notification) { }
    virtual bool isSourceTypeAvailable(ImagePickerSourceType type) {
        return type != ImagePickerSourceType::Camera;
    }
    // Ask the user for a picture; call `completion` with it (a null image for cancel),
    // now or later on the main loop.
    virtual void pickImage(ImagePickerSourceType type, std::function<void(graphics::Image)> completion) {
        completion(graphics::Image {});
    }
    // A web view started loading, moved, or left the screen (see Application::webViews).
    virtual void webContentDidChange() { }
    // An entry took or gave up the keyboard (see Application::activeInputTraits).
    virtual void keyboardDidChange() { }
    virtual bool canSendMail() { return false; }
    // Files between the application and the computer the user sits at (the browser's
    // downloads and file chooser). Without that, nothing below is offered.
    virtual bool canTransferFiles() { return false; }
    // Hands the user a copy of the file at `path`, to keep under `suggestedName` (a download).
    // The host has its copy when this returns; false when it cannot.
    virtual bool saveFile(
        const std::string& path, const std::string& suggestedName, const std::string& contentType) {
        return false;
    }
    // Asks the user for a file with one of the `extensions` (".zip"); calls `completion` with it,
    // or none for cancel, now or later on the main loop.
    virtual void pickFile(const std::vector<std::string>& extensions,
        std::function<void(std::optional<PickedFile>)> completion) {
        completion(std::nullopt);
    }
};

} // namespace platform::views
