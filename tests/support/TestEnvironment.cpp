#include "support/TestEnvironment.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/views/TableView.h"

namespace vantrel::test {

void TestEnvironment::SetUp() {
    setenv("TZ", "America/New_York", 1);
    setenv("LANG", "en_US.UTF-8", 1);
    unsetenv("LC_ALL");
    unsetenv("LC_NUMERIC");
    // A list that deletes a row without updating its model would only reload silently in
    // the product; here it fails the test that did it.
    platform::views::TableView::setUpdateMismatchHandler(
        [](const std::string& message) { ADD_FAILURE() << message; });
}

} // namespace vantrel::test
