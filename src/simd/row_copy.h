#pragma once
#include <cstddef>
#include <cstdint>

namespace corvex {

// A copy of one row of pixels, `bytes` from `source` to `target`; the two never overlap.
using RowCopy = void (*)(uint8_t* target, const uint8_t* source, size_t bytes);

// The C library's copy: its ordinary stores first read each line they fill into the cache.
void PlainRowCopy(uint8_t* target, const uint8_t* source, size_t bytes);

// The same bytes with stores that go straight to memory, for whole lines of 64 bytes; the
// partial lines at either end are stored as the plain copy stores them. Off x86 it is the
// plain copy. After the last row, FinishRowCopies.
void StreamingRowCopy(uint8_t* target, const uint8_t* source, size_t bytes);

// The copy for a step that moves `bytes` through memory (read and written, all rows): the
// streaming one where that outgrows the last-level cache, which the copied picture would be
// gone from before anything reads it again.
RowCopy RowCopyFor(size_t bytes);

// Orders the streamed stores before every later load and store, so that whoever reads the
// target next sees the whole copy.
void FinishRowCopies();

}  // namespace corvex
