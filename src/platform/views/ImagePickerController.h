#pragma once

#include <memory>

#include "platform/graphics/Image.h"
#include "platform/views/ApplicationHost.h"
#include "platform/views/NavigationController.h"

namespace platform::views {

class ImagePickerController;

// The picture chosen: as taken, and as cropped when editing was allowed (the original when
// it was not).
struct ImagePickerInfo {
    graphics::Image originalImage;
    graphics::Image editedImage;
};

// What an image picker tells its delegate. Both operations are optional; without a
// delegate the picker dismisses itself.
class ImagePickerControllerDelegate {
public:
    virtual ~ImagePickerControllerDelegate() = default;
    virtual void didFinishPickingImage(
        ImagePickerController&, const graphics::Image& image, const ImagePickerInfo& info) { }
    virtual void imagePickerControllerDidCancel(ImagePickerController&) { }
};

// Asks the person for a picture from the photo library or the camera. Present it modally;
// once on screen it asks the application's host for the picture (ApplicationHost::pickImage)
// and tells its delegate the result. The delegate dismisses it. Its navigation bar shows a
// Cancel button meanwhile.
class ImagePickerController : public NavigationController {
public:
    using SourceType = ImagePickerSourceType;

    ImagePickerController();

    static bool isSourceTypeAvailable(SourceType type);

    SourceType sourceType() const { return m_sourceType; }
    void setSourceType(SourceType type);
    bool allowsEditing() const { return m_allowsEditing; }
    void setAllowsEditing(bool allows) { m_allowsEditing = allows; }
    // Held weakly: one that has gone is not called.
    std::shared_ptr<ImagePickerControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<ImagePickerControllerDelegate> delegate) {
        m_delegate = std::move(delegate);
    }

    // The host's answer (a null image for cancel); the picker calls it itself.
    void finishPicking(graphics::Image image);
    void cancel();
    bool isWaitingForHost() const { return m_waiting; }

    void viewDidAppear(bool animated) override;

private:
    SourceType m_sourceType {SourceType::PhotoLibrary};
    bool m_allowsEditing {false};
    std::weak_ptr<ImagePickerControllerDelegate> m_delegate;
    bool m_asked {false};
    bool m_waiting {false};
};

} // namespace platform::views
