#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "framework/exceptions.h"
#include "framework/variant.h"

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

struct ConversionCase {
  Variant value;
  int32_t asInteger;
  const char* asText;
};

class VariantConversion : public testing::TestWithParam<ConversionCase> {};

TEST_P(VariantConversion, ConvertsToIntegerAndText) {
  const ConversionCase& c = GetParam();
  EXPECT_EQ(VariantToInt32(c.value), c.asInteger);
  EXPECT_EQ(VariantToString(c.value).ToUtf8(), c.asText);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VariantConversion,
    testing::Values(ConversionCase{Variant(), 0, ""}, ConversionCase{Variant(42), 42, "42"},
                    ConversionCase{Variant(kMin), kMin, "-2147483648"}, ConversionCase{Variant(true), 1, "True"},
                    ConversionCase{Variant(false), 0, "False"}, ConversionCase{Variant("17"), 17, "17"},
                    ConversionCase{Variant(" -8 "), -8, " -8 "}, ConversionCase{Variant("word"), 0, "word"},
                    ConversionCase{Variant("12abc"), 0, "12abc"}, ConversionCase{Variant(""), 0, ""},
                    ConversionCase{Variant("-2147483648"), kMin, "-2147483648"}));

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
