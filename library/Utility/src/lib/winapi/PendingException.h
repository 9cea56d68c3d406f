// A C++ exception must not cross user32's frames (on 32-bit Windows it
// cannot), so window procedures catch everything at their boundary and keep
// it here; the message loop rethrows it as soon as DispatchMessageA returns,
// as if it had propagated.
#pragma once

#include <windows.h>

#include <exception>

namespace lib {
namespace winapi {

// Keeps the exception until the loop rethrows it. While one is kept, a
// later one is dropped: the first is the one that would have propagated.
void keepPendingException(std::exception_ptr exception);

// Rethrows the kept exception, if any, and forgets it.
void rethrowPendingException();

// Runs a window procedure's body; an exception it throws is kept and the
// message gets the result 0.
template <typename Body>
LRESULT guardWindowProcedure(Body body) noexcept {
  try {
    return body();
  } catch (...) {
    keepPendingException(std::current_exception());
    return 0;
  }
}

}  // namespace winapi
}  // namespace lib
