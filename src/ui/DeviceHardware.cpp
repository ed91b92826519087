#include "ui/DeviceHardware.h"

#include <map>

#include "platform/base/Device.h"

std::string platformStringForMachine(const std::string& machine, const std::string& model) {
    static const std::map<std::string, std::string> names {
        {"iPhone1,1", "iPhone"},
        {"iPhone1,2", "iPhone 3G"},
        {"iPhone2,1", "iPhone 3GS"},
        {"iPhone3,1", "iPhone 4"},
        {"i386", "iPhone Simulator"},
        {"iPod1,1", "iPod Touch"},
        {"iPod2,1", "iPod Touch 2G"},
        {"iPod3,1", "iPod Touch 3G"},
        {"iPod4,1", "iPod Touch 4G"},
        {"iPad1,1", "iPad"},
    };
    if (auto known = names.find(machine); known != names.end())
        return known->second;
    return model == "iPhone" ? "Unknown iPhone" : "Unknown iPod";
}

std::string platformString() {
    const platform::Device& device = platform::Device::current();
    return platformStringForMachine(device.machine(), device.model());
}
