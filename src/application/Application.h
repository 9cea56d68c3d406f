// The launcher's run, with the single-instance guard.
#pragma once

namespace Application {

// Runs the launcher once and returns 0. Throws the already-running text when
// another instance's owner window exists; every exception of the launcher
// passes through.
int run();

}  // namespace Application
