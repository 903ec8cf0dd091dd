// Python programs run by the tests that open xlsx files with openpyxl, a reader of its
// own, or make them with it.
#pragma once

#include <stdio.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace quillary::workbook::testing {

// Runs `program` with Debian's python3 (which python3-openpyxl and python3-pil install
// into) in `folder`; its standard output and error, after "failed: " when it fails.
inline std::string RunPython(const std::filesystem::path& folder, const std::string& program) {
  const std::filesystem::path script = folder / "program.py";
  std::ofstream(script) << program;
  const std::string command = std::string("cd '")
                                  .append(folder.string())
                                  .append("' && /usr/bin/python3 '")
                                  .append(script.string())
                                  .append("' 2>&1");
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = pipe ? ::pclose(pipe) : -1;
  return status == 0 ? out : "failed: " + out;
}

// Whether Debian's python3 imports each of `modules` ("openpyxl", "openpyxl, PIL").
inline bool PythonHas(const std::string& modules) {
  return std::system(("/usr/bin/python3 -c 'import " + modules + "' 2>/dev/null").c_str()) == 0;
}

}  // namespace quillary::workbook::testing
