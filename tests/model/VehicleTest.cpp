#include <gtest/gtest.h>

#include "data/DBTestSupport.h"
#include "model/Vehicle.h"
#include "platform/base/FileSystem.h"
#include "platform/graphics/ImageContext.h"
#include "support/TemporarySandbox.h"

namespace {

// A plain square PNG of the given colour, written where the editor would write it.
void writePicture(const std::string& path, platform::graphics::Color color, double side) {
    platform::graphics::ImageContext canvas({side, side}, true, 1);
    canvas.context().setFillColor(color);
    canvas.context().fillRect({0, 0, side, side});
    ASSERT_TRUE(canvas.image().writeToFile(path));
}

} // namespace

TEST(VehicleRecord, PictureComesFromTheUsersFileOnceWritten) {
    vantrel::test::TemporarySandbox sandbox;
    platform::graphics::ImageContext::setMainScreenScale(1);
    Vehicle vehicle;
    vehicle.vid = 3;
    writePicture(vehicle.pictureFile(), platform::graphics::Color::fromHex(0x3366CC), 80);
    platform::graphics::Image picture = vehicle.picture();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.pixelWidth(), 80);
    EXPECT_EQ(picture.pixelAt(40, 40).hex(), 0x3366CCu);

    // Kept once loaded: a new file shows only in a freshly loaded record.
    writePicture(vehicle.pictureFile(), platform::graphics::Color::fromHex(0xCC0000), 80);
    EXPECT_EQ(vehicle.picture().pixelAt(40, 40).hex(), 0x3366CCu);
    Vehicle reloaded;
    reloaded.vid = 3;
    EXPECT_EQ(reloaded.picture().pixelAt(40, 40).hex(), 0xCC0000u);

    reloaded.setPicture({});
    EXPECT_EQ(reloaded.picture().pixelAt(40, 40).hex(), 0xCC0000u) << "a cleared picture loads again";
    platform::graphics::ImageContext::setMainScreenScale(2);
}

TEST(VehicleRecord, WithoutAFileThePictureIsTheRoundedSampleCar) {
    vantrel::test::TemporarySandbox sandbox;
    platform::graphics::ImageContext::setMainScreenScale(1);
    std::string resources = platform::fs::makeTemporaryDirectory("vantrel-bundle");
    writePicture(
        platform::fs::joinPath(resources, "SampleCar.png"), platform::graphics::Color::fromHex(0x228B22), 60);
    {
        vantrel::test::BundleOverride bundle(resources, "1.2");
        Vehicle vehicle;
        vehicle.vid = 4;
        platform::graphics::Image picture = vehicle.picture();
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(picture.pixelWidth(), 60);
        EXPECT_EQ(picture.pixelAt(30, 30).hex(), 0x228B22u);
        EXPECT_EQ(picture.pixelAt(30, 0).hex(), 0x228B22u) << "edges stay";
        EXPECT_EQ(picture.pixelAt(0, 0).alpha, 0) << "corners are cut away";
        EXPECT_EQ(picture.pixelAt(59, 59).alpha, 0);
    }
    platform::fs::removeItem(resources);
    platform::graphics::ImageContext::setMainScreenScale(2);
}
