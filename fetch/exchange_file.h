// The exchange file: an in-memory file, named by a number, through which a
// fetch call and its worker thread hand over one byte record at a time.
//
// A number is a non-zero 32-bit integer that is never handed out twice in
// the life of the process, so a worker that outlives its fetch call can
// never reach a file opened later by someone else. Every operation on a
// closed or unknown number fails harmlessly (false, 0 or empty) and has no
// effect: the fetch call closes the file while an abandoned worker may
// still try to write to it.
//
// All operations are thread-safe; each one is done under one lock.
// replaceContent and readContent move a whole record at once, so a reader
// on another thread sees either the old record or the new one, never a
// mixture. Prefer them over the positional operations, which are kept for
// callers that build a file piece by piece.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "text/text.h"

namespace fetch {

// Creates an empty file and returns its number (never 0, never reused).
// Returns 0 only when every number has been used up.
int32_t openExchangeFile();

// Ends the file and frees its bytes; the number stays dead for ever.
// Closing a closed or unknown number does nothing.
void closeExchangeFile(int32_t number);

// Writes the runs one after another at the current position, overwriting
// and extending the file, and moves the position past them. True when
// everything was written; false for a closed or unknown number.
bool writeExchangeFile(int32_t number, std::initializer_list<std::string_view> runs);

// Sets the position to the first byte. False for a closed/unknown number.
bool seekExchangeFileToStart(int32_t number);

// Number of bytes in the file; 0 for a closed or unknown number.
int32_t exchangeFileLength(int32_t number);

// Up to count bytes from the current position (fewer at the end of the
// file), moving the position past them. Empty when count <= 0 or the
// number is closed or unknown.
text::ByteSequence readExchangeFile(int32_t number, int32_t count);

// Removes up to count bytes from the current position on; the bytes behind
// them move up. False for a closed or unknown number; count <= 0 removes
// nothing.
bool deleteExchangeFileBytes(int32_t number, int32_t count);

// Replaces the whole content with bytes in one step and sets the position
// to the start. False for a closed or unknown number.
bool replaceContent(int32_t number, std::string_view bytes);

// The whole content, read in one step; the position is left unchanged.
// Empty for a closed or unknown number.
text::ByteSequence readContent(int32_t number);

// The whole content, read and the file closed in one step, so that no
// write can land between the read and the close. Empty for a closed or
// unknown number.
text::ByteSequence takeContentAndClose(int32_t number);

}  // namespace fetch
