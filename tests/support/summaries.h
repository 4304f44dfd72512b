// The search summaries ("LastP=... NumPtot=... NumOP=...") in a dialogue's
// text, in order.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

inline std::vector<std::string> Summaries(const std::string& out) {
  std::vector<std::string> found;
  for (size_t at = 0; (at = out.find("LastP=", at)) != std::string::npos;) {
    size_t end = out.find('\n', at);
    found.push_back(out.substr(at, end - at));
    at = end;
  }
  return found;
}

}  // namespace testing_support
