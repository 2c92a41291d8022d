#pragma once

namespace corvex {

// What the processor offers beyond the x86-64 baseline (SSE2), for the kernels that choose
// their widest version at run time. The checks include the operating system's saving of the
// wider registers; off x86 both answer false.
bool CpuHasAvx2();
bool CpuHasAvx512Bw();  // AVX-512 F and BW

}  // namespace corvex
