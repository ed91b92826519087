#include "model/Vehicle.h"

#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"

std::string Vehicle::pictureFile() const
{
    return platform::fs::joinPath(platform::Sandbox::documentsDirectory(), std::to_string(vid) + ".png");
}
