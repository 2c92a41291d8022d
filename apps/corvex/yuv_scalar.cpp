// The reference conversion: every column by the plain code.
#include "yuv_kernels.h"
#include "yuv_rows.h"

namespace corvex::host {

namespace {
int32_t NoVector(const yuv::RowPair&, int32_t) { return 0; }
}  // namespace

const YuvKernel& ScalarYuvKernel() {
  static const YuvKernel kernel{"scalar", &yuv::ConvertRowPairs<NoVector>};
  return kernel;
}

}  // namespace corvex::host
