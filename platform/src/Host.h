// Input and presentation belong to a host, not to the desktop model. When
// the program has nothing to do (GetMessageA with an empty queue, the modal
// loop of a message box), the layer asks the host for the user's next input.
// The scripted host serves tests; a host on a real display comes later.
#pragma once

namespace platform {

class Host {
 public:
  virtual ~Host() = default;

  // The program waits for input in `waitingIn` ("GetMessageA",
  // "MessageBoxA"). Delivers the next input and returns true, or returns
  // false when no input will ever come.
  virtual bool deliverInput(const char* waitingIn) = 0;
};

}  // namespace platform
