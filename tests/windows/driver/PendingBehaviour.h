// Behaviour of the program that is still being built. Its scenarios run
// anyway: while the behaviour is missing they are skipped with the reason,
// and once it works they fail asking for the flag to be set, so nothing is
// left skipped by mistake.
#pragma once

// WM_COMMAND 104 (Exit) destroys the owner window. Arrives with the system
// menu.
const bool kExitCommandHandled = false;

// A settings file that cannot be loaded is reported in a message box and
// ends the program with -1. Arrives with the settings load.
const bool kLoadFailureReported = false;
