// The reference stays plain scalar code: were the compiler to vectorise it, the differential
// tests would compare two vector codes and the benchmarks would not show what the hand-written
// vector kernels gain.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("no-tree-vectorize")
#endif
#include "video/portable/compose_kernels.h"
#include "video/portable/compose_rows.h"

namespace corvex {

const ComposeKernels& ScalarComposeKernels() {
  using namespace compose;
  static const ComposeKernels kernels{
      "scalar",
      {&ConvertRows<RowRgb32>, &ConvertRows<RowRgb24>, &ConvertRows<RowRgb565>,
       &ConvertRows<RowRgb555>, &ConvertRows<RowUyvy>, &ConvertRows<RowYuy2>}};
  return kernels;
}

const char* ComposeFormatName(ComposeFormat format) {
  static const char* const kNames[kComposeFormatCount] = {"Rgb32",  "Rgb24", "Rgb565",
                                                          "Rgb555", "Uyvy",  "Yuy2"};
  const int32_t index = static_cast<int32_t>(format);
  return index >= 0 && index < kComposeFormatCount ? kNames[index] : "unknown";
}

}  // namespace corvex
