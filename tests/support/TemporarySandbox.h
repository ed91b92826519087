#pragma once

#include <string>

namespace vantrel::test {

// A fresh data root for one test: created empty under the system temporary folder, made the
// current sandbox (which also resets the key-value store), removed again at the end. The
// clock, locale and time zone return to their defaults on both ends.
class TemporarySandbox {
public:
    TemporarySandbox();
    ~TemporarySandbox();
    TemporarySandbox(const TemporarySandbox&) = delete;
    TemporarySandbox& operator=(const TemporarySandbox&) = delete;

    const std::string& root() const { return m_root; }
    std::string documents() const;

private:
    std::string m_root;
};

} // namespace vantrel::test
