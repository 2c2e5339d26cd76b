// The inputs the fuzz targets found faults with, each kept as a test of the normal suite.
#include <gtest/gtest.h>

#include "text/find.h"

namespace tovmira {
namespace {

TEST(FuzzRegressions, Placeholder) {
    EXPECT_EQ(find_text("a", "a"), 1);
}

}  // namespace
}  // namespace tovmira
