// Files by path and by number, with share modes kept between our own opens.
//
// POSIX has no share modes, so this layer keeps its own table of the files
// it holds open (keyed by device and inode) and refuses an open that the
// table's share modes forbid, as the Windows file API would. This is what
// makes word.txt, held open from start-up, refuse an exclusive write or a
// read that does not share with writers until it is closed.
// Every function may be called from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/text.h"

namespace platform {

using FileNumber = int32_t;  // 0 = none

// Opens path for reading and writing, sharing fully; creates it empty when
// missing, never truncates or changes it. Returns 0 on failure.
FileNumber openSharedReadWrite(const std::string& path);

// Closes a number from openSharedReadWrite; nothing when it is not open.
void closeFile(FileNumber number);

// Writes bytes as the whole content of path, allowing no sharing while it
// writes. The old content stays intact unless every byte was written and
// flushed (temporary file beside the target, renamed over it). False when
// the path is empty or names a directory or other non-regular file, the
// file is held by an open that forbids this, or any step fails. A new file
// gets mode 0666 less the umask; a replaced one keeps its mode.
bool writeWholeFile(const std::string& path, std::string_view bytes);

// All bytes of path, opened for reading while letting others only read.
// Empty when the file cannot be opened (held by a writer of ours, missing,
// unreadable, not a regular file), is empty, or holds more than INT32_MAX
// bytes.
text::ByteSequence readWholeFile(const std::string& path);

// True when a directory entry of that name exists.
bool fileExists(const std::string& path);

// The folder of the running executable, without a trailing separator.
std::string programDirectory();

}  // namespace platform
