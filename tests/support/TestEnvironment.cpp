#include "support/TestEnvironment.h"

#include <cstdlib>

namespace vantrel::test {

void TestEnvironment::SetUp() {
    setenv("TZ", "America/New_York", 1);
    setenv("LANG", "en_US.UTF-8", 1);
    unsetenv("LC_ALL");
    unsetenv("LC_NUMERIC");
}

} // namespace vantrel::test
