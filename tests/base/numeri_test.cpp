// The one rule for "is this text a number", and the 16-bit rounding.

#include "base/numeri.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace cw {
namespace {

TEST(ConvertiNumero, FormsThatAreNumbers) {
  const std::pair<const char*, double> casi[] = {
      {"0", 0},       {"-1", -1},        {"+7", 7},    {" 3", 3},        {"3 ", 3},       {"\t 3\t ", 3},
      {"0099", 99},   {"1.5", 1.5},      {".5", 0.5},  {"5.", 5},        {"-.25", -0.25}, {"1e3", 1000},
      {"1E-3", 1e-3}, {"-1.5e+2", -150}, {"2.e1", 20}, {"32767", 32767}, {"1e-400", 0},
  };
  for (const auto& [testo, atteso] : casi) {
    double v = 123;
    EXPECT_TRUE(ConvertiNumero(testo, v)) << testo;
    EXPECT_EQ(v, atteso) << testo;
  }
}

TEST(ConvertiNumero, FormsThatAreNot) {
  for (const char* testo : {"",
                            " ",
                            "\t",
                            "+",
                            "-",
                            ".",
                            "-.",
                            "e3",
                            ".e3",
                            "1e",
                            "1e+",
                            "1e 3",
                            "1,5",
                            "1.000,5",
                            "1 000",
                            "0x10",
                            "&H10",
                            "inf",
                            "nan",
                            "1.2.3",
                            "--1",
                            "+-1",
                            "1-",
                            "3a",
                            "a3",
                            "1e400",
                            "- 1",
                            "1\n",
                            "\xA0"
                            "1",
                            "\xEF\xBC\x91"}) {
    double v = 123;
    EXPECT_FALSE(ConvertiNumero(testo, v)) << testo;
    EXPECT_EQ(v, 123) << "left as it was: " << testo;
  }
}

TEST(ArrotondaInt16, HalvesGoToTheEvenNeighbour) {
  const std::pair<double, std::int16_t> casi[] = {
      {2.5, 2},    {3.5, 4},   {-2.5, -2}, {-3.5, -4},       {0.5, 0},           {-0.5, 0},          {1.4999, 1},
      {1.5001, 2}, {-1.6, -2}, {7, 7},     {32767.4, 32767}, {-32768.5, -32768}, {-32768.4, -32768},
  };
  for (const auto& [valore, atteso] : casi) {
    std::int16_t r = 99;
    EXPECT_TRUE(ArrotondaInt16(valore, r)) << valore;
    EXPECT_EQ(r, atteso) << valore;
  }
}

TEST(ArrotondaInt16, OutsideTheRangeFails) {
  for (const double valore : {32767.5, 32768.0, -32768.6, -32769.0, 1e300, std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(), std::nan("")}) {
    std::int16_t r = 99;
    EXPECT_FALSE(ArrotondaInt16(valore, r)) << valore;
    EXPECT_EQ(r, 99);
  }
}

}  // namespace
}  // namespace cw
