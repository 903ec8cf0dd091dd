// Assertions on the errors of the stand-in and of the component, for every folder's
// tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/runtime/error.h"

namespace quillary::check {

// Runs `body` and returns the number of the Error it raises, 0 when it raises none; the
// error's description goes to `description` when one is asked for.
template <class Body>
long ErrorOf(Body&& body, std::string* description = nullptr) {
  try {
    std::forward<Body>(body)();
  } catch (const Error& e) {
    if (description != nullptr) *description = e.Description();
    return e.Number();
  }
  return 0;
}

// Runs `body`, which must raise an Error of `number` whose source begins with
// `sourcePrefix`; returns the error for further checks (a default one when none came).
template <class Body>
Error ExpectRaises(Body&& body, long number, const std::string& sourcePrefix = "") {
  try {
    std::forward<Body>(body)();
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), number) << e.what();
    EXPECT_EQ(e.Source().rfind(sourcePrefix, 0), 0u) << "source: " << e.Source();
    return e;
  }
  ADD_FAILURE() << "no error raised";
  return Error(0, "", "");
}

}  // namespace quillary::check
