#pragma once

#include <gtest/gtest.h>

namespace vantrel::test {

// Puts every test process into a known state: a fixed locale and time zone, so that
// results do not depend on the machine the suite runs on.
class TestEnvironment : public testing::Environment {
public:
    void SetUp() override;
};

} // namespace vantrel::test
