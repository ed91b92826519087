#include "platform/views/ImagePickerController.h"

#include <algorithm>
#include <cmath>

#include "platform/base/RunLoop.h"
#include "platform/graphics/ImageContext.h"
#include "platform/views/Application.h"
#include "platform/views/Label.h"

namespace platform::views {

namespace {

std::string titleFor(ImagePickerSourceType type) {
    return type == ImagePickerSourceType::Camera ? "Camera" : "Photos";
}

// The square centre of an image, as the phone's crop box starts.
graphics::Image centreSquare(const graphics::Image& image) {
    Size size = image.size();
    double side = std::min(size.width, size.height);
    if (side <= 0 || size.width == size.height)
        return image;
    graphics::ImageContext context({side, side}, false, image.scale());
    image.drawInRect(context.context(),
        Rect(-(size.width - side) / 2, -(size.height - side) / 2, size.width, size.height));
    return context.image();
}

} // namespace

ImagePickerController::ImagePickerController()
    : NavigationController(std::make_shared<ViewController>()) {
    ViewController* root = topViewController();
    root->setTitle(titleFor(m_sourceType));
    root->setLayout([](ViewController& controller) {
        auto view = controller.view();
        view->setBackgroundColor(Color::fromHex(0xDADDE3));
        auto label = std::make_shared<Label>(Rect(20, 150, view->bounds().width() - 40, 30));
        label->setText("Choose a picture\u2026");
        label->setTextAlignment(TextAlignment::Center);
        label->setTextColor(Color::white(0.4));
        label->setAutoresizingMask(AutoresizingFlexibleWidth);
        view->addSubview(label);
    });
    std::weak_ptr<ViewController> weak;
    root->navigationItem().setRightBarButtonItem(
        std::make_shared<BarButtonItem>(BarButtonSystemItem::Cancel, [this] { cancel(); }));
}

bool ImagePickerController::isSourceTypeAvailable(SourceType type) {
    if (ApplicationHost* host = Application::sharedApplication().host())
        return host->isSourceTypeAvailable(type);
    return type != SourceType::Camera;
}

void ImagePickerController::setSourceType(SourceType type) {
    m_sourceType = type;
    if (ViewController* root = viewControllers().empty() ? nullptr : viewControllers().front().get())
        root->setTitle(titleFor(type));
}

void ImagePickerController::viewDidAppear(bool animated) {
    NavigationController::viewDidAppear(animated);
    if (m_asked)
        return;
    m_asked = true;
    m_waiting = true;
    // Ask once the presentation is over, so the answer may dismiss the picker.
    std::weak_ptr<ViewController> weak = weak_from_this();
    SourceType type = m_sourceType;
    dispatchToMain([weak, type] {
        auto self = std::static_pointer_cast<ImagePickerController>(weak.lock());
        if (!self || !self->m_waiting)
            return;
        ApplicationHost* host = Application::sharedApplication().host();
        if (!host) {
            self->finishPicking(graphics::Image {});
            return;
        }
        host->pickImage(type, [weak](graphics::Image image) {
            if (auto picker = std::static_pointer_cast<ImagePickerController>(weak.lock()))
                picker->finishPicking(std::move(image));
        });
    });
}

void ImagePickerController::finishPicking(graphics::Image image) {
    if (!m_waiting)
        return;
    m_waiting = false;
    auto keep = shared_from_this();
    if (!image) {
        if (auto delegate = m_delegate.lock())
            delegate->imagePickerControllerDidCancel(*this);
        else
            dismissModalViewControllerAnimated(true);
        return;
    }
    ImagePickerInfo info {image, m_allowsEditing ? centreSquare(image) : image};
    if (auto delegate = m_delegate.lock())
        delegate->didFinishPickingImage(*this, info.editedImage, info);
    else
        dismissModalViewControllerAnimated(true);
}

void ImagePickerController::cancel() {
    m_waiting = true;
    finishPicking(graphics::Image {});
}

} // namespace platform::views
