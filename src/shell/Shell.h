#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/views/ApplicationHost.h"
#include "shell/FileTransfers.h"
#include "shell/FramePublisher.h"
#include "shell/FrameStream.h"
#include "shell/PageHub.h"
#include "shell/PageLifecycle.h"
#include "shell/PageMessages.h"
#include "shell/Remembered.h"
#include "shell/ScreenState.h"

namespace platform::views {
class Application;
class WebView;
} // namespace platform::views

namespace shell {

// The phone around the application, as the browser pages show it: it hosts the
// application (addresses, pictures, web content, badge, reminders), feeds it the pages'
// touches and keys, maps the pages onto its run state, and draws the frames the pages fetch.
//
// Several pages may show the phone at once; one of them leads: the page a person used last
// (the last to send a touch or a key, or to come to the front). The screen takes the shape of
// its display (Screen::heightFitting) and, on a device with a keyboard of its own, entries
// raise that keyboard instead of the drawn one. The other pages show the same screen scaled
// to fit theirs.
//
// Everything here runs on the main thread except where a member says "any thread"; the
// HTTP server hands requests over with RunLoop::post.
class Shell : public platform::views::ApplicationHost {
public:
    static constexpr double kCanonicalScale = FramePublisher::kCanonicalScale;
    // Seconds a page that connects is given to show the frame it is sent before the screen is
    // drawn again for it.
    static constexpr double kNewPageSettles = 0.15;
    // Seconds after start, when the first page has shown its frame, the faces remembered
    // begin to load.
    static constexpr double kFacesAfterStart = 0.4;

    Shell(platform::views::Application& application, PageHub& hub);
    ~Shell() override;
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    // Addresses beginning with `url` ("http://127.0.0.1:8080/") are served by the shell
    // itself; the pages load them from their own origin.
    void setLocalBaseURL(const std::string& url) { m_localBaseURL = url; }
    const std::string& localBaseURL() const { return m_localBaseURL; }

    // Becomes the application's host; `launch` then starts the application, which is put
    // into the state the pages call for (the background while none is open).
    void launch(const std::function<void()>& launch);
    // Resigns active and terminates the application (settings saved, reminders rebuilt,
    // database closed).
    void terminate();

    // From the pages.
    void pageOpened(int page);
    void pageChanged(const PageState& state);
    void pageClosed(int page);
    void handleInput(const InputBatch& batch);
    void handleWebContent(const WebContentEvent& event);
    // The answer to picture request `request`: a null image cancels.
    void handlePicture(int request, platform::graphics::Image image);
    // The answer to file request `request`: none cancels.
    void handleFile(int request, std::optional<platform::views::PickedFile> file);
    // Any thread: the download of `id` while it is kept (see FileTransfers).
    std::optional<FileTransfers::Download> download(int id) const { return m_files.download(id); }

    // Draws the screen at every scale a page shows it at (and the canonical one), and tells
    // the pages of new frames and of state changes. The main loop calls it after every burst.
    void renderFrames();
    // The same, unless no call or timer has run on the main loop since the last rendering:
    // nothing can have changed, and a screen drawn again for nothing (after a call that
    // rendered itself) takes the processor from the page decoding the frame just sent.
    void renderFramesIfTasksRan();
    // Any thread: how many times renderFrames has run; waits until it passes `count` (false
    // when it did not: the time ran out or the shell is stopping).
    std::uint64_t renderCount() const { return m_renderCount.load(); }
    bool waitForRenderAfter(std::uint64_t count, double timeoutSeconds) const;
    // Any thread: releases every waiter now and later (the shell is stopping).
    void stopWaiting();

    // Any thread: the stream of frames at `scale`. A scale no page shows is drawn from now on
    // for a while (FramePublisher); the call then waits for its first frame. Null only while
    // the application has no window.
    FrameStream* frameStream(double scale);
    // Any thread: the same when frames are drawn at `scale` now, else null, without asking.
    FrameStream* drawnFrames(double scale) const { return m_frames.drawn(scale); }
    // The scale page `page` shows (the canonical one for a page that has not said).
    double scaleOf(int page) const;
    // The page that leads (see above); 0 before any page reported its state.
    int leadingPage() const { return m_leadingPage; }
    // Any thread: the latest state message (JSON) the pages were sent.
    std::string stateJSON() const;

    // ApplicationHost
    bool openURL(const std::string& url) override;
    bool canOpenURL(const std::string& url) override;
    void badgeNumberDidChange(int number) override { }
    void localNotificationsDidChange() override { }
    void presentLocalNotification(const platform::views::LocalNotification& notification) override;
    bool isSourceTypeAvailable(platform::views::ImagePickerSourceType type) override;
    void pickImage(platform::views::ImagePickerSourceType type,
        std::function<void(platform::graphics::Image)> completion) override;
    void webContentDidChange() override { }
    void keyboardDidChange() override { }
    bool canSendMail() override { return true; }
    bool canTransferFiles() override { return true; }
    bool saveFile(
        const std::string& path, const std::string& suggestedName, const std::string& contentType) override;
    void pickFile(const std::vector<std::string>& extensions,
        std::function<void(std::optional<platform::views::PickedFile>)> completion) override;

    // The address a page loads for web content at `url` (local addresses become paths).
    std::string pageAddressFor(const std::string& url) const {
        return ScreenState::pageAddressFor(m_localBaseURL, url);
    }
    // The inputmode a page's text input takes for a keyboard type.
    static std::string inputModeFor(int keyboardType) { return ScreenState::inputModeFor(keyboardType); }

private:
    void scheduleClockTick();
    void unseen(const std::function<void()>& work);
    void loadFaces(size_t next);
    void syncOrientation();
    void lead(int page);
    void followLeadingPage();
    void sendFrameNotice(int page, const std::string& message);
    void sendLatestFrame(int page, double scale);
    void drawBackdrops();
    void sendBackdrop(int page, double scale, const std::string& key);
    int targetPage() const;

    platform::views::Application& m_application;
    PageHub& m_hub;
    PageLifecycle m_lifecycle;
    ScreenState m_screenState;
    FramePublisher m_frames;
    std::string m_localBaseURL;

    std::map<int, PageState> m_pages; // pages that reported their state
    std::vector<int> m_openPages;
    int m_lastInputPage {0};
    int m_leadingPage {0};
    bool m_deviceLandscape {false};

    int m_pictureRequest {0};
    std::function<void(platform::graphics::Image)> m_pictureCompletion;
    FileTransfers m_files;

    std::uint64_t m_clockTimer {0};
    std::uint64_t m_settledTimer {0};
    std::optional<RememberedDisplay> m_display; // as kept in the data folder
    std::vector<platform::graphics::Font> m_rememberedFaces;
    std::uint64_t m_facesTimer {0};
    bool m_backdropsDue {false};

    mutable std::mutex m_stateMutex;
    std::string m_state;
    std::atomic<std::uint64_t> m_renderCount {0};
    std::uint64_t m_tasksRunAtRender {~std::uint64_t {0}};
    bool m_stopWaiting {false};
    mutable std::mutex m_renderMutex;
    mutable std::condition_variable m_rendered;
};

} // namespace shell
