#include <gtest/gtest.h>

#include <functional>

#include "FuzzTargets.h"
#include "platform/base/FileSystem.h"
#include "support/TemporarySandbox.h"

namespace fs = platform::fs;

// Every input the fuzzers ever crashed on (tests/fuzz/corpus) and their seeds (fuzz/seeds)
// goes through the same function again: a regression ends this test with the crash.
TEST(FuzzCorpus, EveryKeptInputIsReadWithoutCrashing) {
    vantrel::test::TemporarySandbox sandbox;
    const std::pair<const char*, std::function<int(const std::uint8_t*, std::size_t)>> targets[] = {
        {"json", fuzz::json},
        {"plist", fuzz::plist},
        {"zip", fuzz::zip},
        {"queries", fuzz::queries},
        {"pageMessages", fuzz::pageMessages},
    };
    size_t replayed = 0;
    for (const auto& [name, target] : targets) {
        for (const char* folder : {"/tests/fuzz/corpus/", "/fuzz/seeds/"}) {
            const std::string directory = std::string(VANTREL_SOURCE_DIR) + folder + name;
            for (const auto& file : fs::contentsOfDirectory(directory)) {
                if (file.starts_with("."))
                    continue;
                SCOPED_TRACE(directory + "/" + file);
                const std::string input = fs::readFile(fs::joinPath(directory, file)).value_or("");
                EXPECT_EQ(target(reinterpret_cast<const std::uint8_t*>(input.data()), input.size()), 0);
                ++replayed;
            }
        }
    }
    EXPECT_GE(replayed, 8u) << "the seeds at least";
}
