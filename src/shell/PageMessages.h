#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/views/Screen.h"

namespace shell {

// What the page sends, checked before any of it reaches the application. Every parser
// answers none and an explanation for a malformed message; a message is taken whole or not
// at all.

struct PointerEvent {
    enum class Phase { Down, Move, Up, Cancel };
    Phase phase {Phase::Down};
    // Screen points, within the screen in either orientation.
    double x {0};
    double y {0};
    bool operator==(const PointerEvent&) const = default;
};

struct KeyEvent {
    // Back: the device's own back key or gesture.
    enum class Kind { Text, Delete, Return, Back };
    Kind kind {Kind::Text};
    std::string text; // Text only: valid UTF-8 without control characters
    bool operator==(const KeyEvent&) const = default;
};

using InputEvent = std::variant<PointerEvent, KeyEvent>;

struct InputBatch {
    int page {0};
    std::vector<InputEvent> events;
    // The answer names the frame the events made, once it is drawn; without ("frame": false)
    // it comes as soon as they are handled (a page that hears of frames anyway sends its next
    // batch sooner).
    bool waitForFrame {true};
    // The page's count of its batches, from 1 ("n"): batches are handled in this order
    // (InputOrder). 0 (none given): handled as it comes.
    std::uint64_t number {0};
};

// How one open page is: shown or not, focused, its shape, and the scale it shows frames at.
struct PageState {
    int page {0};
    bool visible {true};
    bool focused {true};
    bool landscape {false};
    double scale {2};
    bool camera {false}; // a device with a camera (a phone)
    // The room the page has for the screen, in CSS pixels, measured as if the phone stood
    // upright; 0 when the page has not said.
    double displayWidth {0};
    double displayHeight {0};
    // A device with a keyboard of its own on its screen (a phone): entries raise that one
    // instead of the drawn keyboard. keyboardHeight: the points of the screen it covers
    // while it shows, 0 while not known.
    bool ownKeyboard {false};
    double keyboardHeight {0};
};

// The page's report on the content of a web view it shows.
struct WebContentEvent {
    enum class Kind { Loaded, Failed, Navigated };
    int page {0};
    int webView {0};
    Kind kind {Kind::Loaded};
    std::string title; // Loaded
    std::string url; // Navigated: the address the user went to inside the content
};

class PageMessages {
public:
    static constexpr size_t kMaxEvents = 256;
    static constexpr size_t kMaxTextBytes = 256;
    static constexpr size_t kMaxTitleBytes = 512;
    static constexpr size_t kMaxURLBytes = 2048;
    // Points; both orientations of the tallest screen fit in this square.
    static constexpr double kMaxCoordinate = platform::views::Screen::kMaximumHeight;
    static constexpr double kMaxDisplaySide = 100000;
    static constexpr double kMinScale = 1;
    static constexpr double kMaxScale = 4;

    static std::optional<InputBatch> parseInput(const std::string& body, std::string& error);
    static std::optional<PageState> parsePageState(const std::string& body, std::string& error);
    // The same for page `page`, whatever the body says its page is (a page that has just
    // connected does not know its number yet).
    static std::optional<PageState> parsePageState(const std::string& body, int page, std::string& error);
    static std::optional<WebContentEvent> parseWebContent(const std::string& body, std::string& error);

    // Frames are drawn at whole pixels across the upright screen (steps of 1/320), so that
    // a page shows them pixel for pixel and pages of the same screens share them.
    static double roundedScale(double scale);
    static bool isValidText(const std::string& text, size_t maxBytes);
};

} // namespace shell
