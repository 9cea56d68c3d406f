// The exception kept between a window procedure and the message loop.
#include "lib/winapi/PendingException.h"

namespace lib {
namespace winapi {

namespace {

// One GUI thread runs every window procedure and the loop.
std::exception_ptr pendingException;

}  // namespace

void keepPendingException(std::exception_ptr exception) {
  if (!pendingException) {
    pendingException = exception;
  }
}

void rethrowPendingException() {
  if (pendingException) {
    std::exception_ptr exception = pendingException;
    pendingException = nullptr;
    std::rethrow_exception(exception);
  }
}

}  // namespace winapi
}  // namespace lib
