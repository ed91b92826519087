#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/Font.h"

namespace shell {

// How the leading page last showed the screen: its scale and the screen's height for its
// display. Kept in the data folder, so that the next start draws the first frame for it
// before it connects. Main thread only.
struct RememberedDisplay {
    double scale {0};
    double height {0};

    bool operator==(const RememberedDisplay&) const = default;

    // None when nothing is remembered or what is kept makes no sense (then it is ignored).
    static std::optional<RememberedDisplay> load();
    // A failure to write only costs the next start time.
    void save() const;
};

// The faces text used lately, most recent first: the next start has them matched against
// the installed fonts while idle instead of on a screen's first drawing. Main thread only.
struct RememberedFaces {
    static constexpr size_t kMost = 48;

    // What makes no sense is left out.
    static std::vector<platform::graphics::Font> load();
    // Those of `recent` first, then those of `older` not among them, kMost at most.
    static void save(const std::vector<platform::graphics::Font>& recent,
        const std::vector<platform::graphics::Font>& older);
};

} // namespace shell
