#include "vis_data.h"

#include <kiss_fftr.h>

#include <cmath>
#include <new>

namespace corvex::host {

VisAnalyzer::VisAnalyzer() : fft_(kiss_fftr_alloc(kFftSize, 0, nullptr, nullptr)) {
  if (fft_ == nullptr) throw std::bad_alloc();
}

VisAnalyzer::~VisAnalyzer() { kiss_fftr_free(fft_); }

void VisAnalyzer::Transform(const float* input, double* real, double* imaginary) const {
  kiss_fft_cpx output[kFftSize / 2 + 1];
  kiss_fftr(fft_, input, output);
  for (int32_t k = 0; k < visblocks::kBins; ++k) {
    real[k] = output[k].r;
    imaginary[k] = output[k].i;
  }
}

int64_t NearestBlock(double seconds, int32_t sampleRate) {
  if (!(seconds > 0.0) || sampleRate <= 0) return 0;
  return static_cast<int64_t>(std::llround(seconds * sampleRate / kBlockFrames));
}

}  // namespace corvex::host
