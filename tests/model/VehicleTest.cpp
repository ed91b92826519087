#include <gtest/gtest.h>

#include "model/Vehicle.h"
#include "platform/base/FileSystem.h"
#include "support/TemporarySandbox.h"

TEST(VehicleRecord, PictureFileFollowsTheIdentifier)
{
    vantrel::test::TemporarySandbox sandbox;
    Vehicle vehicle;
    EXPECT_EQ(platform::fs::lastPathComponent(vehicle.pictureFile()), "0.png");
    vehicle.vid = 7;
    EXPECT_EQ(vehicle.pictureFile(), platform::fs::joinPath(sandbox.documents(), "7.png"));
}
