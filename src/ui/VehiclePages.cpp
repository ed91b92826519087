#include "ui/VehiclePages.h"

#include <map>

namespace {

std::map<int, VehiclePages::Factory>& factories() {
    static std::map<int, VehiclePages::Factory> registered;
    return registered;
}

} // namespace

void VehiclePages::registerPage(int tag, Factory factory) {
    if (tag >= kServices && tag <= kReports)
        factories()[tag] = std::move(factory);
}

bool VehiclePages::hasPage(int tag) {
    auto it = factories().find(tag);
    return it != factories().end() && it->second;
}

std::vector<int> VehiclePages::pages() {
    std::vector<int> tags;
    for (int tag = kServices; tag <= kReports; ++tag) {
        if (hasPage(tag))
            tags.push_back(tag);
    }
    return tags;
}

std::shared_ptr<platform::views::ViewController> VehiclePages::makePage(int tag, const Vehicle& vehicle) {
    return hasPage(tag) ? factories()[tag](vehicle) : nullptr;
}
