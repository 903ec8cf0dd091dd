#include "platform/runtime/vba.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "platform/runtime/error.h"
#include "platform/runtime/tests/expect_error.h"

namespace quillary::vba {
namespace {

TEST(Val, ReadsTheLeadingNumber) {
  struct Case {
    const char16_t* text;
    double expected;
  };
  const std::vector<Case> cases = {
      {u"", 0},
      {u"abc", 0},
      {u"  12abc", 12},
      {u"1 2 3", 123},
      {u"\t\n 7", 7},
      {u"\r7", 0},
      {u"-.5", -0.5},
      {u"+3.25x", 3.25},
      {u"- 4", -4},
      {u"1.2.3", 1.2},
      {u"1,000", 1},
      {u"--5", 0},
      {u"1e3", 1000},
      {u"1D2", 100},
      {u"5E-1", 0.5},
      {u"1e", 1},
      {u"1e+", 1},
      {u"2 e 2", 200},
      {u"1e-400", 0},
      {u".", 0},
      {u"&H10", 16},
      {u"&h1f", 31},
      {u"&HFFFF", -1},
      {u"&HFFFF&", 65535},
      {u"&H10000", 65536},
      {u"&HFFFFFFFF", -1},
      {u"&O17", 15},
      {u"&Hz", 0},
      {u"9 Items", 9},
      {u"0.1", 0.1},
      {u"12345678901234567890", 12345678901234567890.0},
      {u"007", 7},
      {u"999999999999999", 999999999999999.0},
      {u"9007199254740993", 9007199254740992.0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Val(c.text), c.expected) << ToUtf8(c.text);
  }
  EXPECT_FALSE(std::signbit(Val(u"-0")));
}

TEST(Val, TooLargeRaisesOverflow) {
  EXPECT_EQ(check::ErrorOf([] { Val(u"1e400"); }), err::kOverflow);
  EXPECT_EQ(check::ErrorOf([] { Val(u"&H100000000"); }), err::kOverflow);
}

TEST(NumberText, FifteenSignificantDigitsAndExponentForm) {
  struct Case {
    double n;
    const char16_t* expected;
  };
  const std::vector<Case> cases = {
      {7, u"7"},
      {0.5, u"0.5"},
      {-12.25, u"-12.25"},
      {100, u"100"},
      {0.1 + 0.2, u"0.3"},
      {1.0 / 3, u"0.333333333333333"},
      {2.0 / 3, u"0.666666666666667"},
      {999999999999999, u"999999999999999"},
      {-999999999999999, u"-999999999999999"},
      {-100000000000000, u"-100000000000000"},
      {1e15, u"1E+15"},
      {1234567890123456, u"1.23456789012346E+15"},
      {9007199254740992, u"9.00719925474099E+15"},
      {1e100, u"1E+100"},
      {0.0001, u"0.0001"},
      {0.00012345, u"0.00012345"},
      {0.00001, u"1E-05"},
      {1e-7, u"1E-07"},
      {-1.5e-10, u"-1.5E-10"},
      {-0.0, u"0"},
      {1234567.125, u"1234567.125"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(NumberText(c.n)), ToUtf8(c.expected)) << c.n;
  }
  EXPECT_EQ(check::ErrorOf([] { NumberText(std::numeric_limits<double>::infinity()); }), err::kOverflow);
}

TEST(NumberText, IntegerTextAcrossTheWholeRange) {
  struct Case {
    std::int64_t n;
    const char16_t* expected;
  };
  const Case cases[] = {
      {0, u"0"},
      {7, u"7"},
      {-42, u"-42"},
      {1048576, u"1048576"},
      {std::numeric_limits<std::int64_t>::max(), u"9223372036854775807"},
      {std::numeric_limits<std::int64_t>::min(), u"-9223372036854775808"},
  };
  for (const Case& c : cases) EXPECT_EQ(IntegerText(c.n), Text(c.expected)) << c.n;
}

TEST(Str, LeadingBlankForNumbersNotNegative) {
  EXPECT_EQ(Str(5), u" 5");
  EXPECT_EQ(Str(0), u" 0");
  EXPECT_EQ(Str(-0.0), u" 0");
  EXPECT_EQ(Str(-5), u"-5");
  EXPECT_EQ(Str(1e15), u" 1E+15");
}

TEST(Format, DigitPatterns) {
  struct Case {
    double n;
    const char16_t* pattern;
    const char16_t* expected;
  };
  const std::vector<Case> cases = {
      {1234, u"##,##0", u"1,234"},
      {0, u"##,##0", u"0"},
      {-1234, u"##,##0", u"-1,234"},
      {12, u"##,##0", u"12"},
      {123, u"##,##0", u"123"},
      {1234.5, u"##,##0", u"1,235"},
      {-1234.5, u"##,##0", u"-1,235"},
      {1234.49, u"##,##0", u"1,234"},
      {999.5, u"##,##0", u"1,000"},
      {0.4, u"##,##0", u"0"},
      {-0.4, u"##,##0", u"0"},
      {2.5, u"0", u"3"},
      {1234567, u"###,##0", u"1,234,567"},
      {123456, u"###,##0", u"123,456"},
      {1234567, u"0", u"1234567"},
      {5, u"000", u"005"},
      {1234, u"0,000,000", u"0,001,234"},
      {0, u"#", u""},
      {7, u"#", u"7"},
      {1234567, u"#,##0,", u"1,235"},
      {1e20, u"#,##0", u"100,000,000,000,000,000,000"},
      {123456789012345678.0, u"0", u"123456789012346000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(Format(c.n, c.pattern)), ToUtf8(c.expected)) << c.n << " " << ToUtf8(c.pattern);
  }
  EXPECT_EQ(check::ErrorOf([] { Format(1, u"0.00"); }), err::kInvalidCall);
  EXPECT_EQ(check::ErrorOf([] { Format(1, u","); }), err::kInvalidCall);
}

TEST(Conversions, CStrCBoolCDbl) {
  EXPECT_EQ(CStr(Variant()), u"");
  EXPECT_EQ(CStr(Variant(7)), u"7");
  EXPECT_EQ(CStr(Variant(1e15)), u"1E+15");
  EXPECT_EQ(CStr(Variant(u"abc")), u"abc");
  EXPECT_EQ(CStr(Variant(true)), u"True");
  EXPECT_EQ(CStr(Variant(false)), u"False");

  struct BoolCase {
    Variant v;
    bool expected;
  };
  const std::vector<BoolCase> bools = {
      {Variant(), false},      {Variant(0), false},      {Variant(2), true},         {Variant(-0.5), true},
      {Variant(true), true},   {Variant(u"TRUE"), true}, {Variant(u"false"), false}, {Variant(u" True "), true},
      {Variant(u" 1 "), true}, {Variant(u"0"), false},   {Variant(u"0.0"), false},
  };
  for (const BoolCase& c : bools) {
    EXPECT_EQ(CBool(c.v), c.expected) << Describe(c.v);
  }

  struct DoubleCase {
    Variant v;
    double expected;
  };
  const std::vector<DoubleCase> doubles = {
      {Variant(), 0},
      {Variant(2.5), 2.5},
      {Variant(true), -1},
      {Variant(false), 0},
      {Variant(u"1,234.5"), 1234.5},
      {Variant(u" -3 "), -3},
      {Variant(u"1e3"), 1000},
      {Variant(u"1D-2"), 0.01},
      {Variant(u"&H10"), 16},
      {Variant(u"\t.5\r\n"), 0.5},
  };
  for (const DoubleCase& c : doubles) {
    EXPECT_EQ(CDbl(c.v), c.expected) << Describe(c.v);
  }
}

TEST(Conversions, Errors) {
  struct Case {
    const char* what;
    std::function<void()> call;
    long number;
  };
  const std::vector<Case> cases = {
      {"CStr Null", [] { CStr(Variant::Null()); }, err::kInvalidNull},
      {"CStr #N/A", [] { CStr(Variant(CellError::NA)); }, err::kTypeMismatch},
      {"CBool Null", [] { CBool(Variant::Null()); }, err::kInvalidNull},
      {"CBool yes", [] { CBool(Variant(u"yes")); }, err::kTypeMismatch},
      {"CBool empty text", [] { CBool(Variant(u"")); }, err::kTypeMismatch},
      {"CBool #DIV/0!", [] { CBool(Variant(CellError::Div0)); }, err::kTypeMismatch},
      {"CDbl abc", [] { CDbl(Variant(u"abc")); }, err::kTypeMismatch},
      {"CDbl empty text", [] { CDbl(Variant(u"")); }, err::kTypeMismatch},
      {"CDbl 12a", [] { CDbl(Variant(u"12a")); }, err::kTypeMismatch},
      {"CDbl Null", [] { CDbl(Variant::Null()); }, err::kInvalidNull},
      {"CDbl 1e400", [] { CDbl(Variant(u"1e400")); }, err::kOverflow},
      {"CDbl #N/A", [] { CDbl(Variant(CellError::NA)); }, err::kTypeMismatch},
      {"CLng 2147483647.5", [] { CLng(2147483647.5); }, err::kOverflow},
      {"CLng -2147483649", [] { CLng(-2147483649.0); }, err::kOverflow},
      {"CLng NaN", [] { CLng(std::nan("")); }, err::kOverflow},
      {"CInt 32767.5", [] { CInt(32767.5); }, err::kOverflow},
      {"CInt -32769", [] { CInt(-32769); }, err::kOverflow},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(check::ErrorOf(c.call), c.number) << c.what;
  }
}

TEST(Conversions, CLngAndCIntRoundHalfToEven) {
  struct Case {
    double n;
    std::int32_t expected;
  };
  const std::vector<Case> cases = {
      {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0},         {1.5, 2},
      {2.4, 2}, {2.6, 3}, {-2.6, -3}, {0, 0},     {32766.5, 32766}, {-32768.5, -32768},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CLng(c.n), c.expected) << c.n;
    EXPECT_EQ(CInt(c.n), c.expected) << c.n;
  }
  EXPECT_EQ(CLng(2147483647.4), 2147483647);
  EXPECT_EQ(CLng(-2147483648.5), -2147483647 - 1);
  EXPECT_EQ(CLng(40000), 40000);
}

TEST(Conversions, TypeNameAndIsNumeric) {
  EXPECT_EQ(TypeName(Variant()), u"Empty");
  EXPECT_EQ(TypeName(Variant::Null()), u"Null");
  EXPECT_EQ(TypeName(Variant(1)), u"Double");
  EXPECT_EQ(TypeName(Variant(u"")), u"String");
  EXPECT_EQ(TypeName(Variant(false)), u"Boolean");
  EXPECT_EQ(TypeName(Variant(CellError::NA)), u"Error");

  struct Case {
    Variant v;
    bool expected;
  };
  const std::vector<Case> cases = {
      {Variant(3), true},         {Variant(u"12"), true},   {Variant(u" 12 "), true},  {Variant(u"-1,234.5"), true},
      {Variant(u"1e5"), true},    {Variant(u"&H1F"), true}, {Variant(u"\t5\t"), true}, {Variant(u".5"), true},
      {Variant(u"5."), true},     {Variant(u""), false},    {Variant(u" "), false},    {Variant(u"12a"), false},
      {Variant(u"."), false},     {Variant(u"-"), false},   {Variant(u"1e"), false},   {Variant(u"1.2.3"), false},
      {Variant(u"1e400"), false}, {Variant(u",5"), false},  {Variant(u"1 2"), false},  {Variant(u"\u00A05"), false},
      {Variant(), false},         {Variant(true), false},   {Variant::Null(), false},  {Variant(CellError::NA), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsNumeric(c.v), c.expected) << Describe(c.v);
  }
}

TEST(Strings, StrComp) {
  struct Case {
    const char16_t* a;
    const char16_t* b;
    int compare;
    int expected;
  };
  const std::vector<Case> cases = {
      {u"abc", u"abc", kBinaryCompare, 0}, {u"abc", u"ABC", kBinaryCompare, 1},
      {u"abc", u"ABC", kTextCompare, 0},   {u"B", u"a", kBinaryCompare, -1},
      {u"B", u"a", kTextCompare, 1},       {u"a", u"ab", kTextCompare, -1},
      {u"1", u"a", kTextCompare, -1},      {u"_", u"a", kBinaryCompare, -1},
      {u"ab", u"a-b", kTextCompare, -1},   {u"\u00C9T\u00C9", u"\u00E9t\u00E9", kTextCompare, 0},
      {u"", u"", kTextCompare, 0},         {u"", u"a", kBinaryCompare, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StrComp(c.a, c.b, c.compare), c.expected) << ToUtf8(c.a) << " / " << ToUtf8(c.b);
    EXPECT_EQ(StrComp(c.b, c.a, c.compare), -c.expected) << ToUtf8(c.b) << " / " << ToUtf8(c.a);
  }
  EXPECT_EQ(check::ErrorOf([] { StrComp(u"a", u"b", 2); }), err::kInvalidCall);
}

TEST(Strings, InStr) {
  struct Case {
    std::int64_t start;
    const char16_t* s;
    const char16_t* find;
    int compare;
    std::int64_t expected;
  };
  const std::vector<Case> cases = {
      {1, u"abcabc", u"c", kBinaryCompare, 3},
      {4, u"abcabc", u"c", kBinaryCompare, 6},
      {3, u"abcabc", u"c", kBinaryCompare, 3},
      {7, u"abcabc", u"c", kBinaryCompare, 0},
      {1, u"ABC", u"b", kBinaryCompare, 0},
      {1, u"ABC", u"b", kTextCompare, 2},
      {1, u"x\u00C4B", u"\u00E4b", kTextCompare, 2},
      {2, u"abc", u"", kBinaryCompare, 2},
      {4, u"abc", u"", kBinaryCompare, 4},
      {5, u"abc", u"", kBinaryCompare, 0},
      {1, u"", u"a", kBinaryCompare, 0},
      {1, u"", u"", kBinaryCompare, 1},
      {1, u"a\tb", u"\t", kBinaryCompare, 2},
      {1, u"ab", u"abc", kBinaryCompare, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InStr(c.start, c.s, c.find, c.compare), c.expected)
        << c.start << " " << ToUtf8(c.s) << " / " << ToUtf8(c.find);
  }
  EXPECT_EQ(check::ErrorOf([] { InStr(0, u"abc", u"a", kBinaryCompare); }), err::kInvalidCall);
}

TEST(Strings, TrimRemovesBlanksOnly) {
  struct Case {
    const char16_t* s;
    const char16_t* trim;
    const char16_t* ltrim;
    const char16_t* rtrim;
  };
  const std::vector<Case> cases = {
      {u"  a b  ", u"a b", u"a b  ", u"  a b"},
      {u"\ta\t", u"\ta\t", u"\ta\t", u"\ta\t"},
      {u" \u00A0x\u00A0 ", u"\u00A0x\u00A0", u"\u00A0x\u00A0 ", u" \u00A0x\u00A0"},
      {u"   ", u"", u"", u""},
      {u"", u"", u"", u""},
      {u"x", u"x", u"x", u"x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Trim(c.s), c.trim) << ToUtf8(c.s);
    EXPECT_EQ(LTrim(c.s), c.ltrim) << ToUtf8(c.s);
    EXPECT_EQ(RTrim(c.s), c.rtrim) << ToUtf8(c.s);
  }
}

TEST(Strings, Mid) {
  struct Case {
    const char16_t* s;
    std::int64_t start;
    std::int64_t length;
    const char16_t* expected;
  };
  const std::vector<Case> cases = {
      {u"abcdef", 2, 3, u"bcd"}, {u"abcdef", 4, -1, u"def"}, {u"abc", 5, 2, u""}, {u"abc", 2, 0, u""},
      {u"abc", 3, 10, u"c"},     {u"abc", 4, -1, u""},       {u"", 1, -1, u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Mid(c.s, c.start, c.length), c.expected) << ToUtf8(c.s) << " " << c.start << " " << c.length;
  }
  // The progress bar: 22 "O" then 21 "@", 20 characters from 22 - filled.
  const Text bar = Text(22, u'O') + Text(21, u'@');
  EXPECT_EQ(Mid(bar, 22, 20), u"O" + Text(19, u'@'));
  EXPECT_EQ(Mid(bar, 2, 20), Text(20, u'O'));
  EXPECT_EQ(check::ErrorOf([] { Mid(u"abc", 0, 1); }), err::kInvalidCall);
  EXPECT_EQ(check::ErrorOf([] { Mid(u"abc", 1, -2); }), err::kInvalidCall);
}

TEST(Strings, MidAssignNeverChangesTheLength) {
  struct Case {
    const char16_t* s;
    std::int64_t start;
    const char16_t* replacement;
    std::int64_t length;
    const char16_t* expected;
  };
  const std::vector<Case> cases = {
      {u"abcdef", 2, u"XY", -1, u"aXYdef"},  {u"abcdef", 5, u"XYZ", -1, u"abcdXY"},
      {u"abcdef", 6, u"XYZ", -1, u"abcdeX"}, {u"abcdef", 1, u"XYZ", 2, u"XYcdef"},
      {u"abcdef", 1, u"XY", 5, u"XYcdef"},   {u"abc", 3, u"", -1, u"abc"},
      {u"abc", 1, u"XYZW", 0, u"abc"},
  };
  for (const Case& c : cases) {
    Text s = c.s;
    MidAssign(s, c.start, c.replacement, c.length);
    EXPECT_EQ(s, c.expected) << ToUtf8(c.s) << " " << c.start << " " << ToUtf8(c.replacement);
  }
  struct ErrorCase {
    const char16_t* s;
    std::int64_t start;
    std::int64_t length;
  };
  for (const ErrorCase& c : std::vector<ErrorCase>{{u"abc", 0, -1}, {u"abc", 4, -1}, {u"", 1, -1}, {u"abc", 1, -2}}) {
    Text s = c.s;
    EXPECT_EQ(check::ErrorOf([&] { MidAssign(s, c.start, u"X", c.length); }), err::kInvalidCall)
        << ToUtf8(c.s) << " " << c.start << " " << c.length;
    EXPECT_EQ(s, c.s);
  }
}

TEST(Strings, LeftRightSpaceAndCase) {
  EXPECT_EQ(Left(u"abc", 2), u"ab");
  EXPECT_EQ(Left(u"abc", 5), u"abc");
  EXPECT_EQ(Left(u"abc", 0), u"");
  EXPECT_EQ(Right(u"abc", 2), u"bc");
  EXPECT_EQ(Right(u"abc", 5), u"abc");
  EXPECT_EQ(Right(u"abc", 0), u"");
  EXPECT_EQ(Space(3), u"   ");
  EXPECT_EQ(Space(0), u"");
  EXPECT_EQ(check::ErrorOf([] { Left(u"abc", -1); }), err::kInvalidCall);
  EXPECT_EQ(check::ErrorOf([] { Right(u"abc", -1); }), err::kInvalidCall);
  EXPECT_EQ(check::ErrorOf([] { Space(-1); }), err::kInvalidCall);

  EXPECT_EQ(LCase(u"AbC \u00C0\u00C9 \u03A3\u03A9 \u0416\u0401 1-Z"),
            u"abc \u00E0\u00E9 \u03C3\u03C9 \u0436\u0451 1-z");
  EXPECT_EQ(UCase(u"abc \u00E0\u00E9\u00FF \u03C3\u03C9 \u0436\u0451 1-z"),
            u"ABC \u00C0\u00C9\u0178 \u03A3\u03A9 \u0416\u0401 1-Z");
  EXPECT_EQ(UCase(u"stra\u00DFe \u00D7\u00F7"), u"STRA\u00DFE \u00D7\u00F7");
}

}  // namespace
}  // namespace quillary::vba
