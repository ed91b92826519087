#include "platform/views/LayoutRegistry.h"

#include <map>
#include <mutex>

namespace platform::views {

namespace {

std::map<std::string, LayoutFunction>& registry() {
    static std::map<std::string, LayoutFunction> layouts;
    return layouts;
}

std::mutex& registryMutex() {
    static std::mutex mutex;
    return mutex;
}

} // namespace

void LayoutRegistry::registerLayout(const std::string& name, LayoutFunction layout) {
    std::lock_guard lock(registryMutex());
    registry()[name] = std::move(layout);
}

LayoutFunction LayoutRegistry::layoutNamed(const std::string& name) {
    std::lock_guard lock(registryMutex());
    auto it = registry().find(name);
    return it == registry().end() ? LayoutFunction {} : it->second;
}

bool LayoutRegistry::hasLayout(const std::string& name) {
    std::lock_guard lock(registryMutex());
    return registry().count(name) != 0;
}

} // namespace platform::views
