#pragma once

#include <optional>
#include <string>

// The busy overlay: a dark rounded panel with a large white spinner (and a text under it,
// when given) centred on the application's first window, which takes no input while the
// panel shows. Each busy call adds a panel and each idle call removes one, so callers
// hide before they show; idle always gives the window its input back.
inline constexpr int kBusyOverlayTag = 899839;

void setBusy(bool busy, const std::optional<std::string>& text = std::nullopt);
