// Number texts: every worked example of the three formats, the negative-zero rule,
// the locale independence, and the reading of typed numbers.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "numbers/number_text.h"

namespace kovrex {
namespace {

struct FixedCase {
  int decimals;
  double value;
  const char* expected;
};

TEST(FormatFixed, Examples) {
  const double inf = std::numeric_limits<double>::infinity();
  const FixedCase cases[] = {
      {2, -0.004, "0.00"},      {2, -0.02, "-0.02"},   {4, 0.5, "0.5000"},    {0, 12.4, "12"},
      {0, -0.5, "0"},           {6, -5e-7, "0.000000"}, {2, -0.0, "0.00"},    {3, 1234.5675, "1234.568"},  // binary value lies just above the tie
      {2, 0.125, "0.12"},       {2, 0.375, "0.38"},    {0, 2.5, "2"},         {0, 3.5, "4"},
      {1, 0.05, "0.1"},  // 0.05 is a little above .05 in binary
      {3, 15.3208, "15.321"},   {0, 1e21, "1000000000000000000000"},         {2, inf, "+Infinity"},
      {2, -inf, "-Infinity"},   {2, std::nan(""), "NaN"}, {-3, 7.6, "8"},     {1, -0.04999, "0.0"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFixed(c.decimals, c.value), c.expected) << c.value << " / " << c.decimals;
}

TEST(FormatFixed, ManyDecimalsAreExact) {
  // 0.1 is 0.1000000000000000055511151231257827... in binary.
  EXPECT_EQ(FormatFixed(30, 0.1), "0.100000000000000005551115123126");
  EXPECT_EQ(FormatFixed(512, 1.0).size(), 514u);
}

TEST(FormatNumberTrimmed, Examples) {
  const std::pair<double, const char*> cases[] = {
      {2.5, "2.5"}, {1.25, "1.25"}, {10, "10"}, {0, "0"}, {0.1234, "0.123"}, {0.0004, "0"},
      {-0.0004, "0"}, {0.05, "0.05"}, {1.125, "1.125"}, {-2.5, "-2.5"}, {60, "60"}, {100.0, "100"},
  };
  for (const auto& [v, e] : cases) EXPECT_EQ(FormatNumberTrimmed(v), e) << v;
}

TEST(FormatStepReal, Examples) {
  EXPECT_EQ(FormatStepReal(1e-13), "0.000000");
  EXPECT_EQ(FormatStepReal(-1e-13), "0.000000");
  EXPECT_EQ(FormatStepReal(-1e-9), "-0.000000");  // keeps its sign, unlike FormatFixed
  EXPECT_EQ(FormatStepReal(12.5), "12.500000");
  EXPECT_EQ(FormatStepReal(-3.25), "-3.250000");
}

TEST(FormatStepRealFine, TenDecimalsAtMostSixAtLeast) {
  const std::pair<double, const char*> cases[] = {
      {12.8, "12.800000"},          {9.539392014169456, "9.5393920142"}, {-0.25, "-0.250000"},
      {3.00000000001, "3.000000"},  {1e-13, "0.000000"},                 {100.12345678, "100.12345678"},
      {-5.0000001, "-5.0000001"},
  };
  for (const auto& [v, e] : cases) EXPECT_EQ(FormatStepRealFine(v), e) << v;
}

TEST(NumberText, DecimalCommaLocaleStillWritesPoints) {
  const char* names[] = {"nl_NL.UTF-8", "nl_NL.utf8", "de_DE.UTF-8"};
  const char* set = nullptr;
  for (const char* n : names)
    if ((set = std::setlocale(LC_ALL, n)) != nullptr) break;
  if (set == nullptr) GTEST_SKIP() << "no decimal-comma locale generated on this machine";
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  EXPECT_EQ(FormatFixed(3, 2.5), "2.500");
  EXPECT_EQ(FormatNumberTrimmed(1.25), "1.25");
  EXPECT_EQ(FormatStepReal(0.5), "0.500000");
  EXPECT_DOUBLE_EQ(ParseDecimalNumber("2.5"), 2.5);
  EXPECT_DOUBLE_EQ(ParseDecimalNumber("2,5"), 2.5);
  std::setlocale(LC_ALL, "C");
}

TEST(ParseDecimalNumber, TypedTexts) {
  const std::pair<const char*, double> cases[] = {
      {" 2,5 ", 2.5},  {"2.5", 2.5},   {"\t2.5  ", 2.5}, {"abc", 0.0},  {"", 0.0},      {"5 mm", 5.0},
      {"-0,5", -0.5},  {"+3", 3.0},    {"1e3", 1000.0},  {"1E-2", 0.01}, {"1e", 1.0},   {"1e+", 1.0},
      {".5", 0.5},     {"5.", 5.0},    {"-", 0.0},       {".", 0.0},     {"nan", 0.0},  {"inf", 0.0},
      {"-inf", 0.0},   {"0x10", 0.0},  {"1e999", 0.0},   {"12,5,3", 12.5}, {"1,25 lichte stoten", 1.25},
      {"--1", 0.0},    {"2e3x", 2000.0},
  };
  for (const auto& [text, expected] : cases) EXPECT_DOUBLE_EQ(ParseDecimalNumber(text), expected) << '"' << text << '"';
}

TEST(ParseWholeNumber, TruncatesAndStaysInRange) {
  EXPECT_EQ(ParseWholeNumber("20"), 20);
  EXPECT_EQ(ParseWholeNumber("20,9"), 20);
  EXPECT_EQ(ParseWholeNumber("-3.7"), -3);
  EXPECT_EQ(ParseWholeNumber("1e30"), std::numeric_limits<long long>::max());
  EXPECT_EQ(RoundHalfAwayFromZero(2.5), 3);
  EXPECT_EQ(RoundHalfAwayFromZero(-2.5), -3);
  EXPECT_EQ(RoundHalfAwayFromZero(std::nan("")), 0);
}

}  // namespace
}  // namespace kovrex
