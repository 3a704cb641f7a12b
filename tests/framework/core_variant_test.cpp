#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "framework/exceptions.h"
#include "framework/variant.h"

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// Counts are compared by subtracting their tags; a difference beyond Int32 must not wrap.
TEST(Variant, SubtractsIntegersAndNumericTextAndOverflowsOutsideInt32) {
  EXPECT_EQ((Variant(3) - Variant(5)).ToInt32(), -2);
  EXPECT_EQ(VariantSubtract(Variant("10"), Variant(4)).ToInt32(), 6);
  EXPECT_EQ((Variant(-1) - Variant(kMax)).ToInt32(), kMin);
  EXPECT_THROW(Variant(kMin) - Variant(1), OverflowException);
  EXPECT_THROW(Variant(0) - Variant(kMin), OverflowException);
  EXPECT_THROW(Variant("2147483648").ToInt32(), OverflowException);
}

}  // namespace
