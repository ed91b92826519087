#include "support/TemporarySandbox.h"

#include "QLCoreLibrary/ValueText.h"
#include "data/DB.h"
#include "platform/base/Clock.h"
#include "platform/base/FileSystem.h"
#include "platform/base/Locale.h"
#include "platform/base/RunLoop.h"
#include "platform/base/Sandbox.h"
#include "platform/base/TimeZone.h"

namespace vantrel::test {

namespace {
void resetSeams() {
    platform::Clock::useSystemTime();
    platform::Locale::setCurrent({});
    platform::TimeZone::setDefault({});
    ResetDecimalSeparatorCache();
    platform::RunLoop::main().reset();
    // A damaged database found in one sandbox is no news in the next.
    DB::takeDamagedDatabaseKeptAside();
}
} // namespace

TemporarySandbox::TemporarySandbox()
    : m_root(platform::fs::makeTemporaryDirectory("vantrel-test")) {
    resetSeams();
    platform::Sandbox::setRoot(m_root);
}

TemporarySandbox::~TemporarySandbox() {
    resetSeams();
    platform::fs::removeItem(m_root);
}

std::string TemporarySandbox::documents() const {
    return platform::Sandbox::documentsDirectory();
}

} // namespace vantrel::test
