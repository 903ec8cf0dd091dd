#include "platform/runtime/value.h"

#include <gtest/gtest.h>

#include <string>

namespace quillary {
namespace {

// UTF-8 decoded whole, and appended after text already there; every byte that begins
// no character of its own becomes one U+FFFD.
TEST(Utf8, DecodesAndReplacesWhatIsNoCharacter) {
  const struct {
    std::string utf8;
    std::u16string text;
  } cases[] = {
      {"", u""},
      {"plain ASCII", u"plain ASCII"},
      {"caf\xC3\xA9 \xE2\x82\xAC", u"caf\u00E9 \u20AC"},
      {"\xF0\x9F\x98\x80!", u"\U0001F600!"},
      {"a\x80z", u"a\uFFFDz"},                            // a continuation byte alone
      {"\xC3(", u"\uFFFD("},                              // a lead byte without its continuation
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // an overlong "/"
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // a surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {"end \xE2\x82", u"end \uFFFD\uFFFD"},              // cut short
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FromUtf8(c.utf8), c.text) << c.utf8;
    Text appended = u"\u00E9-";
    AppendFromUtf8(appended, c.utf8);
    EXPECT_EQ(appended, u"\u00E9-" + c.text) << c.utf8;
  }
}

}  // namespace
}  // namespace quillary
