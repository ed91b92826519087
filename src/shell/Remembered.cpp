#include "shell/Remembered.h"

#include <algorithm>
#include <cmath>

#include <nlohmann/json.hpp>

#include "platform/base/FileSystem.h"
#include "platform/base/Sandbox.h"
#include "platform/views/Screen.h"
#include "shell/PageMessages.h"

namespace shell {

using platform::graphics::Font;

namespace {

std::string folder() {
    return platform::fs::joinPath(platform::Sandbox::libraryDirectory(), "Caches");
}

std::string path(const char* name) {
    return platform::fs::joinPath(folder(), name);
}

void write(const char* name, const nlohmann::json& json) {
    if (platform::fs::createDirectories(folder()))
        platform::fs::writeFileAtomically(path(name), json.dump());
}

} // namespace

std::optional<RememberedDisplay> RememberedDisplay::load() {
    auto text = platform::fs::readFile(path("display.json"));
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
    write("display.json", {{"scale", scale}, {"height", height}});
}

std::vector<Font> RememberedFaces::load() {
    std::vector<Font> faces;
    auto text = platform::fs::readFile(path("faces.json"));
    auto json = text ? nlohmann::json::parse(*text, nullptr, false) : nlohmann::json();
    if (!json.is_array())
        return faces;
    for (auto& face : json) {
        if (faces.size() == kMost)
            break;
        if (!face.is_object() || !face["family"].is_string() || !face["size"].is_number()
            || !face["bold"].is_boolean() || !face["italic"].is_boolean())
            continue;
        std::string family = face["family"];
        double size = face["size"];
        if (family.empty() || family.size() > 100 || !std::isfinite(size) || size <= 0 || size > 500)
            continue;
        faces.push_back(Font::fontWithFamily(family, face["bold"], face["italic"], size));
    }
    return faces;
}

void RememberedFaces::save(const std::vector<Font>& recent, const std::vector<Font>& older) {
    nlohmann::json list = nlohmann::json::array();
    std::vector<Font> kept;
    for (const auto* faces : {&recent, &older}) {
        for (const Font& face : *faces) {
            if (kept.size() == kMost)
                break;
            if (std::find(kept.begin(), kept.end(), face) != kept.end())
                continue;
            kept.push_back(face);
            list.push_back({{"family", face.familyName()}, {"bold", face.isBold()}, {"italic", face.isItalic()},
                {"size", face.pointSize()}});
        }
    }
    write("faces.json", list);
}

} // namespace shell
