// A C++ exception must not cross user32's frames (on 32-bit Windows it
// cannot), so window procedures catch everything at their boundary and keep
// it here; the program rethrows it as soon as the Win32 call that ran the
// procedure returns to the program's code, as if it had propagated.
//
// Window procedures run not only inside DispatchMessageA but inside every
// call that sends a message: CreateWindowExA (WM_NCCREATE, WM_CREATE),
// DestroyWindow (WM_DESTROY), SendMessageA, the modal loop of MessageBoxA,
// TranslateAcceleratorA (WM_COMMAND) and GetMessageA (messages another
// thread sends). Each such call of the program, DispatchMessageA included,
// goes through rethrowPendingExceptionAfter.
#pragma once

#include <windows.h>

#include <exception>

namespace lib {
namespace winapi {

// Keeps the exception until the program rethrows it. While one is kept, a
// later one is dropped: the first is the one that would have propagated.
void keepPendingException(std::exception_ptr exception);

// Rethrows the kept exception, if any, and forgets it.
void rethrowPendingException();

// Wraps a Win32 call that can run window procedures:
// rethrowPendingExceptionAfter(DestroyWindow(window)). The call has returned
// when this runs; it rethrows what a procedure kept meanwhile, or passes the
// call's result on.
template <typename Result>
Result rethrowPendingExceptionAfter(Result result) {
  rethrowPendingException();
  return result;
}

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
