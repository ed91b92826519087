#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>

namespace shell {

// Keeps each page's input batches in the order the page sent them. A page sends a batch
// without waiting for the answer to the one before (a browser may hold that answer back
// while a finger is down), so they may reach the server's threads out of order; each batch
// carries its number (from 1, per page), and a batch waits here until the one before it is
// handled. A batch that never comes (its request failed) holds the next one up for
// `patience` only. Batches numbered 0 go at once. Any thread.
class InputOrder {
public:
    explicit InputOrder(double patienceSeconds = 0.5)
        : m_patience(patienceSeconds) { }
    InputOrder(const InputOrder&) = delete;
    InputOrder& operator=(const InputOrder&) = delete;

    // Waits until batch `number` of `page` is next (or its predecessor was given up on, or
    // stop()); answers false when it was given up on or stopped.
    bool waitForTurn(int page, std::uint64_t number);
    // Batch `number` of `page` is handled: its successor may go.
    void done(int page, std::uint64_t number);
    // The page is gone; its numbers are forgotten.
    void forget(int page);
    // Releases every waiter now and later.
    void stop();

private:
    double m_patience;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<int, std::uint64_t> m_handled; // the highest number handled per page
    bool m_stopped {false};
};

} // namespace shell
