#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "simd/row_copy.h"

namespace corvex::testing {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint8_t kSentinel = 0xCD;
constexpr size_t kRows = 3;

// Copies kRows rows of `bytes` each into a target whose rows start `pitch` bytes apart, the
// first `offset` bytes into a buffer of sentinels that starts on a line; returns the buffer.
Bytes CopyRows(RowCopy copy, const Bytes& source, size_t sourceOffset, size_t sourcePitch,
               size_t offset, size_t pitch, size_t bytes) {
  // A line of sentinels on either side of the rows.
  alignas(64) static uint8_t buffer[64 + kRows * 512 + 64 * 2];
  std::fill(std::begin(buffer), std::end(buffer), kSentinel);
  for (size_t row = 0; row < kRows; ++row) {
    copy(buffer + 64 + offset + row * pitch, source.data() + sourceOffset + row * sourcePitch,
         bytes);
  }
  FinishRowCopies();
  return Bytes(std::begin(buffer), std::end(buffer));
}

// Every row lands whole at any alignment of either end, the bytes between rows and around
// them stay as they were, and the streaming copy gives exactly the plain copy's bytes.
TEST(RowCopy, StreamingStoresGiveThePlainCopysBytesAtAnyAlignment) {
  Bytes source(kRows * 512 + 64);
  for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 7 + i / 251);
  for (size_t bytes : {0, 1, 4, 15, 63, 64, 65, 127, 128, 129, 200, 255}) {
    for (size_t offset = 0; offset < 64; offset += (bytes % 2 == 0 ? 1 : 9)) {
      for (size_t sourceOffset : {0, 1, 4, 33}) {
        const size_t pitch = 256 + (offset % 2 == 0 ? 0 : 3);
        const size_t sourcePitch = 256 + sourceOffset;
        SCOPED_TRACE(::testing::Message() << bytes << " bytes at " << offset << " pitch " << pitch
                                          << " from " << sourceOffset);
        const Bytes plain =
            CopyRows(&PlainRowCopy, source, sourceOffset, sourcePitch, offset, pitch, bytes);
        const Bytes streamed =
            CopyRows(&StreamingRowCopy, source, sourceOffset, sourcePitch, offset, pitch, bytes);
        Bytes expected(plain.size(), kSentinel);
        for (size_t row = 0; row < kRows; ++row) {
          std::copy_n(source.begin() + static_cast<ptrdiff_t>(sourceOffset + row * sourcePitch),
                      bytes, expected.begin() + static_cast<ptrdiff_t>(64 + offset + row * pitch));
        }
        EXPECT_EQ(plain, expected);
        ASSERT_EQ(streamed, expected);
      }
    }
  }
}

}  // namespace
}  // namespace corvex::testing
