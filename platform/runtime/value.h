// Text and Variant: the value model shared by the spreadsheet, the forms and the host.
//
// Text is UTF-16, as the spreadsheet and its forms count characters in UTF-16 code
// units (cell limits, Mid positions and Len all depend on it). Conversions to and
// from UTF-8 happen only at the edges (files, the terminal, error messages).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace quillary {

using Text = std::u16string;
using TextView = std::u16string_view;

// UTF-8 <-> UTF-16. Invalid input bytes become U+FFFD; lone surrogates become "?".
Text FromUtf8(std::string_view utf8);
// Appends the UTF-16 of `utf8` to `out`, decoded as FromUtf8 decodes it.
void AppendFromUtf8(Text& out, std::string_view utf8);
std::string ToUtf8(TextView text);
// Appends the UTF-8 bytes of one code point (at most U+10FFFF, not a surrogate).
void AppendUtf8(std::string& out, char32_t codePoint);

// Short spelling for literals and plain strings in code that is not text-heavy.
inline Text T(std::string_view utf8) { return FromUtf8(utf8); }

// Error values a cell can hold, by their automation codes.
enum class CellError : int {
  Null = 2000,   // #NULL!
  Div0 = 2007,   // #DIV/0!
  Value = 2015,  // #VALUE!
  Ref = 2023,    // #REF!
  Name = 2029,   // #NAME?
  Num = 2036,    // #NUM!
  NA = 2042,     // #N/A
};

// The text an error value shows in a cell ("#N/A", "#DIV/0!", ...).
Text CellErrorText(CellError e);
// Every error value, and the one whose text `text` is exactly, if any.
inline constexpr CellError kCellErrorValues[] = {CellError::Null, CellError::Div0, CellError::Value, CellError::Ref,
                                                 CellError::Name, CellError::Num,  CellError::NA};
std::optional<CellError> CellErrorOfText(TextView text);

enum class VarType { Empty, Null, Number, String, Boolean, Error };

// A late-bound value: what a cell, a form control property or a macro argument holds.
// Empty is an untouched cell; Null is the "mixed" or "no value" state of a form control
// or of a formatting property over several cells.
class Variant {
 public:
  Variant() = default;
  Variant(double n) : v_(n) {}
  Variant(int n) : v_(static_cast<double>(n)) {}
  Variant(long n) : v_(static_cast<double>(n)) {}
  Variant(long long n) : v_(static_cast<double>(n)) {}
  Variant(bool b) : v_(b) {}
  Variant(Text s) : v_(std::move(s)) {}
  Variant(const char16_t* s) : v_(Text(s)) {}
  Variant(CellError e) : v_(e) {}

  static Variant Null() {
    Variant v;
    v.v_ = NullTag{};
    return v;
  }

  VarType Type() const { return static_cast<VarType>(v_.index()); }
  bool IsEmpty() const { return Type() == VarType::Empty; }
  bool IsNull() const { return Type() == VarType::Null; }
  bool IsNumber() const { return Type() == VarType::Number; }
  bool IsText() const { return Type() == VarType::String; }
  bool IsBoolean() const { return Type() == VarType::Boolean; }
  bool IsError() const { return Type() == VarType::Error; }

  // Typed access; calling the wrong one is a programming error (std::bad_variant_access).
  double AsNumber() const { return std::get<double>(v_); }
  const Text& AsText() const { return std::get<Text>(v_); }
  bool AsBool() const { return std::get<bool>(v_); }
  CellError AsError() const { return std::get<CellError>(v_); }

  // Makes the value an empty Text and gives it to be filled. A value that held a text
  // keeps that text's buffer, so that a value read again and again takes no new memory.
  Text& ResetText() {
    if (Text* t = std::get_if<Text>(&v_)) {
      t->clear();
      return *t;
    }
    return v_.emplace<Text>();
  }

  friend bool operator==(const Variant& a, const Variant& b) { return a.v_ == b.v_; }

 private:
  struct NullTag {
    friend bool operator==(NullTag, NullTag) { return true; }
  };
  std::variant<std::monostate, NullTag, double, Text, bool, CellError> v_;
};

// Debug form for test failure messages ("Empty", "Null", "3", "\"abc\"", "True", "#N/A").
std::string Describe(const Variant& v);

}  // namespace quillary
