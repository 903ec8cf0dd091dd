// The one error type that crosses every boundary of the component, and the error-trail
// helper that every trapping routine uses.
//
// An Error carries a number, a source and a description, as an automation error does.
// A routine that traps errors runs its body through ErrorTrail(name, body): any error
// leaving the body is re-raised with the same number and description and a source of
// "name: " followed by the source it had, so an error that reaches the host names the
// chain of routines from the innermost outwards.
#pragma once

#include <exception>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quillary {

// Error numbers of the language run time and of the spreadsheet application.
namespace err {
inline constexpr long kInvalidCall = 5;     // Invalid procedure call or argument
inline constexpr long kOverflow = 6;        // Overflow
inline constexpr long kOutOfMemory = 7;     // Out of memory
inline constexpr long kSubscript = 9;       // Subscript out of range
inline constexpr long kTypeMismatch = 13;   // Type mismatch
inline constexpr long kFileNotFound = 53;   // File not found
inline constexpr long kPathNotFound = 76;   // Path not found
inline constexpr long kObjectNotSet = 91;   // Object variable not set
inline constexpr long kInvalidNull = 94;    // Invalid use of Null
inline constexpr long kNoSuchMember = 438;  // Object doesn't support this property or method
inline constexpr long kApplication = 1004;  // Application-defined or object-defined error
}  // namespace err

class Error : public std::exception {
 public:
  Error(long number, std::string source, std::string description)
      : number_(number), source_(std::move(source)), description_(std::move(description)) {
    Refresh();
  }

  long Number() const { return number_; }
  const std::string& Source() const { return source_; }
  const std::string& Description() const { return description_; }

  // Puts "name: " before the source, as the error trail does at each trapping routine.
  void PrependSource(std::string_view name) {
    source_ = std::string(name) + ": " + source_;
    Refresh();
  }

  // Puts `tail` after the source (routines that add where they were to the trail).
  void AppendSource(std::string_view tail) {
    source_ += tail;
    Refresh();
  }

  const char* what() const noexcept override { return what_.c_str(); }

 private:
  void Refresh() { what_ = "Error " + std::to_string(number_) + " in " + source_ + ": " + description_; }

  long number_;
  std::string source_;
  std::string description_;
  std::string what_;
};

// Raises an Error whose source is the platform's (the first link of a trail).
[[noreturn]] inline void Raise(long number, std::string description, std::string source = "Quillary") {
  throw Error(number, std::move(source), std::move(description));
}

// Runs body; an error leaving it is re-raised with `name` put before its source. Errors
// that are not Errors (out of memory, library exceptions) become Errors here so that
// they carry the trail too.
template <class Body>
decltype(auto) ErrorTrail(std::string_view name, Body&& body) {
  try {
    return std::forward<Body>(body)();
  } catch (Error& e) {
    e.PrependSource(name);
    throw;
  } catch (const std::bad_alloc&) {
    Error e(err::kOutOfMemory, "Quillary", "Out of memory");
    e.PrependSource(name);
    throw e;
  } catch (const std::exception& ex) {
    Error e(err::kApplication, "Quillary", ex.what());
    e.PrependSource(name);
    throw e;
  }
}

// As ErrorTrail, for routines that also tell where they were: the text `suffix()`
// returns (asked only when an error passes) goes after the source, so the source
// becomes "name: " & the source it had & suffix().
template <class Suffix, class Body>
decltype(auto) ErrorTrail(std::string_view name, Suffix&& suffix, Body&& body) {
  try {
    return std::forward<Body>(body)();
  } catch (Error& e) {
    e.AppendSource(suffix());
    e.PrependSource(name);
    throw;
  } catch (const std::bad_alloc&) {
    Error e(err::kOutOfMemory, "Quillary", "Out of memory");
    e.AppendSource(suffix());
    e.PrependSource(name);
    throw e;
  } catch (const std::exception& ex) {
    Error e(err::kApplication, "Quillary", ex.what());
    e.AppendSource(suffix());
    e.PrependSource(name);
    throw e;
  }
}

// Runs body with errors ignored, for the few steps that judge a failure themselves (a
// clearing the application may refuse, a paste of whatever the clipboard holds): the
// Error the body raised, or nothing when it ran through.
template <class Body>
std::optional<Error> Attempt(Body&& body) {
  try {
    std::forward<Body>(body)();
  } catch (const Error& e) {
    return e;
  }
  return std::nullopt;
}

}  // namespace quillary
