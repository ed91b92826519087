#pragma once

#include <string>

// The device's model as a person would name it, from its hardware identifier (the phone's
// "hw.machine"): "iPhone 3GS", "iPod Touch 2G", ... Identifiers it does not know give
// "Unknown iPhone" on a device whose model name is "iPhone", else "Unknown iPod".
std::string platformString();

// The same mapping for a given identifier and model name.
std::string platformStringForMachine(const std::string& machine, const std::string& model);
