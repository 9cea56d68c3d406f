// The assertion's failure path and the function name it reports.
#include "lib/winapi/Assertion.h"

#include <cstring>

#include "lib/winapi/Diagnostics.h"

namespace lib {
namespace winapi {

void assertionFailed(const char* file, int line, const char* function, const char* condition) {
  debugPrint("assert:%s:%d:%s():%s\n", file, line, function, condition);
  throw "assert";
}

std::string qualifiedFunctionName(const char* prettySignature) {
  // The name ends where the parameter list opens; it starts after the last
  // space outside template brackets, which drops the return type and words
  // such as "virtual" or "static".
  const char* parameters = std::strchr(prettySignature, '(');
  const char* end = parameters ? parameters : prettySignature + std::strlen(prettySignature);
  const char* start = prettySignature;
  int templateDepth = 0;
  for (const char* p = end; p != prettySignature; --p) {
    char c = p[-1];
    if (c == '>') {
      ++templateDepth;
    } else if (c == '<') {
      --templateDepth;
    } else if (c == ' ' && templateDepth == 0) {
      start = p;
      break;
    }
  }
  return std::string(start, end);
}

}  // namespace winapi
}  // namespace lib
