// The program's loop: start-up, the message loop and shut-down of the main window, as the
// program's entries (main.cpp, main_win32.cpp), the tests and the contact sheet run it.
// Implemented in mainform.cpp beside the handlers it calls.
#pragma once
#include "platform/platform.h"

// One pass of the message loop: dispatches waiting events, then runs a frame if the frame
// timer is on. Returns false once the main window has closed.
bool RunMessageLoopOnce();
// The whole loop, until the main window closes.
void RunMessageLoop();
// One frame from the idle time: lagCount from the clock, then FrameTimerTimer (guarded).
void RunOneFrame();
// Hands one platform event to the main form's handler, as the loop does (errors reported).
void DispatchEvent(const plat::Event& e);
// Creates the main window and MainForm and runs FormCreate; a start-up error is reported
// and the rest of start-up skipped. False only when there is no window at all.
bool StartMainForm();
// Closes MainForm the normal way if still open, and frees it.
void EndMainForm();
// The whole program on a platform of the program's entry: installs it and its sound, starts
// the main window, runs the loop, shuts down, and takes the sound out (only after the main
// form has closed the sound device) and the platform. The exit code: 1 when there is no
// platform or no window, else 0.
int RunProgram(plat::IPlatform* platform, void (*installAudio)(), void (*shutdownAudio)());
// RunProgram in parts, for an entry whose loop is not its own (the browser's, which runs one
// RunMessageLoopOnce a turn): StartProgram installs the platform and its sound and starts the
// main window (false when there is no loop to run); FinishProgram ends the main form, takes
// the sound and the platform out and gives RunProgram's exit code.
bool StartProgram(plat::IPlatform* platform, void (*installAudio)());
int FinishProgram(void (*shutdownAudio)());
