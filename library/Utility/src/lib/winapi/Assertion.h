// The assertion: always active, the condition evaluated exactly once. A
// failed check writes one debugger line and throws the text pointer "assert",
// which only the program entry catches.
#pragma once

#include <string>

namespace lib {
namespace winapi {

// Writes "assert:<file>:<line>:<function>():<condition>\n" to the debugger
// output, then throws the text pointer "assert".
[[noreturn]] void assertionFailed(const char* file, int line, const char* function, const char* condition);

// The fully qualified function name out of a compiler's pretty signature:
// "virtual lib::winapi::BaseWindow::~BaseWindow()" gives
// "lib::winapi::BaseWindow::~BaseWindow" (no return type, no parameters).
std::string qualifiedFunctionName(const char* prettySignature);

}  // namespace winapi
}  // namespace lib

#define ASSERT(condition)                                                                                     \
  ((condition) ? (void)0                                                                                      \
               : ::lib::winapi::assertionFailed(__FILE__, __LINE__,                                           \
                                                ::lib::winapi::qualifiedFunctionName(__PRETTY_FUNCTION__).c_str(), \
                                                #condition))
