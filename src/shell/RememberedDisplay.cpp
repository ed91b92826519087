#include "shell/RememberedDisplay.h"

#include <cmath>

#include <nlohmann/json.hpp>

#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"
#include "platform/views/Screen.h"
#include "shell/PageMessages.h"

namespace shell {

namespace {

std::string folder() {
    return platform::fs::joinPath(platform::Sandbox::libraryDirectory(), "Caches");
}

std::string path() {
    return platform::fs::joinPath(folder(), "display.json");
}

} // namespace

std::optional<RememberedDisplay> RememberedDisplay::load() {
    auto text = platform::fs::readFile(path());
    if (!text)
        return std::nullopt;
    auto json = nlohmann::json::parse(*text, nullptr, false);
    if (!json.is_object() || !json["scale"].is_number() || !json["height"].is_number())
        return std::nullopt;
    RememberedDisplay display {json["scale"].get<double>(), json["height"].get<double>()};
    using platform::views::Screen;
    if (!std::isfinite(display.scale) || PageMessages::roundedScale(display.scale) != display.scale
        || display.height != std::round(display.height) || display.height < Screen::kMinimumHeight
        || display.height > Screen::kMaximumHeight)
        return std::nullopt;
    return display;
}

void RememberedDisplay::save() const {
    if (platform::fs::createDirectories(folder()))
        platform::fs::writeFileAtomically(
            path(), nlohmann::json {{"scale", scale}, {"height", height}}.dump());
}

} // namespace shell
