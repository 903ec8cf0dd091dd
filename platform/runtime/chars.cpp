#include "platform/runtime/chars.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <locale.h>
#include <wctype.h>
#endif

#include "platform/runtime/text_order.h"

namespace quillary::chars {

namespace {

// The rule where the system has no classification at hand: a letter has a case pair.
bool HasCasePair(char16_t c) { return text_order::FoldChar(c) != c || text_order::UpperChar(c) != c; }

}  // namespace

bool IsLetter(char16_t c) {
  if (IsHighSurrogate(c) || IsLowSurrogate(c)) return false;
#ifdef _WIN32
  WORD type = 0;
  const wchar_t unit = static_cast<wchar_t>(c);
  if (!GetStringTypeW(CT_CTYPE1, &unit, 1, &type)) return HasCasePair(c);
  return (type & C1_ALPHA) != 0;
#else
  // The classification of the C library's UTF-8 locale, whatever the process's own
  // locale is; made once.
  static const locale_t utf8 = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return l != static_cast<locale_t>(nullptr) ? l : newlocale(LC_CTYPE_MASK, "C.utf8", static_cast<locale_t>(nullptr));
  }();
  if (utf8 == static_cast<locale_t>(nullptr)) return HasCasePair(c);
  return iswalpha_l(static_cast<wint_t>(c), utf8) != 0;
#endif
}

}  // namespace quillary::chars
