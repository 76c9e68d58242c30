#pragma once

#include "cli/CliArguments.h"

#include <QString>

namespace vantrel {

// Where a command writes and whether it shows progress.
struct CliStreams {
    int out = 1;            // rows
    int err = 2;            // messages and progress
    bool progress = false;  // a progress line on `err` (when it is a terminal)
};

// Exit statuses of a command.
inline constexpr int kCliRowsFound = 0;
inline constexpr int kCliNothingFound = 1;
inline constexpr int kCliBadArguments = 2;
inline constexpr int kCliOutputFailed = 3;  // standard output could not be written

// Runs one parsed request with the tool's own engine, the walk configured as
// its window configures it, and writes the rows (see RowWriter for the
// formats; vantrel(1) for the columns). Nothing is ever deleted.
//
// Every root must name a folder: one that does not is a bad argument (a
// message naming it, kCliBadArguments) and nothing is walked. Folders that
// cannot be read along the way are reported on `err` and the walk goes on.
// When the reader of the output goes away (`| head -1`), the search stops
// without a message and the status is kCliRowsFound. When a tool's list is
// full, its resource message goes to `err` and the rows gathered so far are
// written.
//
// Returns kCliRowsFound when rows were written, kCliNothingFound when there
// were none.
int runCliRequest(const CliRequest& request, const CliStreams& streams);

// The whole command: parses `arguments` (after the program name), prints
// help, the version or a bad argument's message ("vantrel: unknown option
// '--foo'"), or runs the request. Needs a QCoreApplication named "vantrel"
// when the clean tool reads its settings.
int runCliCommand(const QList<QByteArray>& arguments, const CliStreams& streams);

// The program started as a command (isCliInvocation): makes the Qt Core
// application object (no display is opened), ignores SIGPIPE so that a
// closed pipe is a failed write, shows progress when standard error is a
// terminal, and runs the command on standard output.
int runCommandLine(int argc, char** argv);

}  // namespace vantrel
