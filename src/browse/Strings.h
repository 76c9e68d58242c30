#pragma once

#include <QByteArray>

#include <atomic>

namespace vantrel {

enum class StringsResult {
    Done,
    SourceFailed,  // the source could not be opened or read
    TargetFailed,  // the target could not be created or written
    Cancelled,
};

// Writes the printable strings found in the file `source` to the text file
// `target` (created or emptied; one string a line, each line ending in a
// carriage return and a line feed). Both paths are exact bytes.
//
// Printable bytes are the ASCII letters, the digits and the blank; every
// other byte ends a run. The whole file is one stream: a run is never cut
// where a read happens to end. A run is written when it has more than
// minLength and at most maxLength + 1 characters; a longer run is dropped
// whole. A run equal to the line written last is not written again. A run
// still open at the end of the file (no other byte after it) is not written.
// With minLength 5 and maxLength 100 that is runs of 6 to 101 characters.
//
// The caller reports failures (the window shows "Could not open file " +
// source). A source that is not a regular file (a fifo, a device, a folder)
// fails at once, without waiting for data. With SourceFailed the target is
// still created, empty. `cancel`,
// when given, is polled between reads; the target then holds what was
// written so far.
StringsResult extractStrings(const QByteArray& source, const QByteArray& target, int minLength,
                             int maxLength, const std::atomic<bool>* cancel = nullptr);

}  // namespace vantrel
