// The process entry of the Linux build.
#pragma once

namespace platform {

// Gives the program the command line as Win32 would (GetCommandLineW), then
// calls its WinMain; its result is the exit status.
int runWinMain(int argc, char** argv);

}  // namespace platform
