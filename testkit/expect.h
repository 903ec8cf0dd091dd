// Assertions on the component's errors.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/runtime/error.h"

namespace quillary::testkit {

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

}  // namespace quillary::testkit
