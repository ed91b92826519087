#include <gtest/gtest.h>

#include "shell/InputOrder.h"

using namespace shell;

// With no patience, a batch whose predecessor is not handled yet is given up on at once, so
// the answers show whose turn it is.
TEST(InputOrder, ABatchGoesOnlyAfterTheOneBeforeItPerPage) {
    InputOrder order(0);
    EXPECT_TRUE(order.waitForTurn(1, 1));
    EXPECT_FALSE(order.waitForTurn(1, 2));
    EXPECT_TRUE(order.waitForTurn(2, 1)); // another page counts on its own
    EXPECT_TRUE(order.waitForTurn(1, 0)); // unnumbered
    order.done(1, 1);
    EXPECT_TRUE(order.waitForTurn(1, 2));
    EXPECT_FALSE(order.waitForTurn(1, 3));
    order.done(1, 3); // 2 was given up on; 3 went anyway
    EXPECT_TRUE(order.waitForTurn(1, 4));
    order.forget(1);
    EXPECT_FALSE(order.waitForTurn(1, 4));
    order.stop();
    EXPECT_FALSE(order.waitForTurn(2, 1));
}
