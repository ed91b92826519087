#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>

#include "platform/base/Bundle.h"
#include "platform/base/FileSystem.h"

namespace fs = platform::fs;

namespace {

std::string helpFolder() {
    return fs::joinPath(platform::Bundle::mainBundle().resourcePath(), "help");
}

std::vector<std::string> pages() {
    std::vector<std::string> names;
    for (const std::string& name : fs::contentsOfDirectory(helpFolder())) {
        if (fs::pathExtension(name) == "html")
            names.push_back(name);
    }
    return names;
}

} // namespace

// The manual ships in the bundle, where the shell serves it as the help address's folder.
TEST(HelpPages, EveryPageLinksOnlyToPagesAndFilesThatShip) {
    std::vector<std::string> names = pages();
    ASSERT_NE(std::find(names.begin(), names.end(), "index.html"), names.end());
    std::regex reference("(?:href|src)=\"([^\"#?:]+)(?:[#?][^\"]*)?\"");
    std::set<std::string> linked;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        std::string page = fs::readFile(fs::joinPath(helpFolder(), name)).value_or("");
        ASSERT_FALSE(page.empty());
        // Every page takes the theme colour and the shared look.
        EXPECT_NE(page.find("<script src=\"help.js\"></script>"), std::string::npos);
        EXPECT_NE(page.find("href=\"help.css\""), std::string::npos);
        EXPECT_NE(page.find("<meta name=\"viewport\""), std::string::npos);
        for (std::sregex_iterator it(page.begin(), page.end(), reference), end; it != end; ++it) {
            std::string target = (*it)[1];
            EXPECT_TRUE(fs::fileExists(fs::joinPath(helpFolder(), target))) << target;
            linked.insert(target);
        }
    }
    // And every page can be reached from another.
    for (const std::string& name : names) {
        if (name != "index.html") {
            EXPECT_TRUE(linked.count(name)) << name << " is linked from nowhere";
        }
    }
}
