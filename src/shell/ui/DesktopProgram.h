#pragma once

#include "config/ProgramError.h"

// The desktop program around the main window: start-up order, message boxes for reports and the
// end of the program.

/// Ends the event loop with `exitCode` once no modal window is open any more, so a message box
/// that is still to be shown by the current handler is not closed at once.
void RequestApplicationExit(int exitCode);
/// Forgets an end asked for and not yet made (window tests go on after a window asked for it).
void CancelApplicationExit();

/// The icon a report's message box shows.
enum class ReportIcon { Exclamation, Warning, Critical, Information };
ReportIcon IconForReport(const Report& report);

/// Shows every report as a message box with its caption; stops end the program afterwards.
void InstallMessageBoxHook();

/// Program entry after the QApplication exists: start-up window, main window, event loop.
/// Returns the exit status.
int RunDesktopProgram(int argc, char** argv);
