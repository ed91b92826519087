#pragma once

#include <optional>
#include <string>

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

} // namespace shell
