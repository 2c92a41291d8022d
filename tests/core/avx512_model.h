#pragma once
// A scalar model of the intrinsics the AVX-512 feedback pass uses, lane by lane as the
// processor's manuals define them, so that the kernel's own source runs on any machine.
// Include it inside a namespace of its own (the names are the intrinsics' names), after
// <cstdint> and <cstring>.
#include <cstdint>
#include <cstring>

struct __m128i {
  uint8_t b[16];
};
struct __m256i {
  uint8_t b[32];
};
struct __m512i {
  uint8_t b[64];
};
enum _MM_PERM_ENUM : int {};

template <typename Lane, typename Vector>
inline Lane LaneOf(const Vector& v, int k) {
  Lane lane;
  std::memcpy(&lane, v.b + k * sizeof(Lane), sizeof(Lane));
  return lane;
}
template <typename Lane, typename Vector>
inline void SetLane(Vector& v, int k, Lane lane) {
  std::memcpy(v.b + k * sizeof(Lane), &lane, sizeof(Lane));
}

// Applies `f` to each pair of Lane-sized lanes of a and b.
template <typename Lane, typename F>
inline __m512i LaneWise(const __m512i& a, const __m512i& b, F f) {
  __m512i out;
  for (int k = 0; k < 64 / static_cast<int>(sizeof(Lane)); ++k) {
    SetLane<Lane>(out, k, static_cast<Lane>(f(LaneOf<Lane>(a, k), LaneOf<Lane>(b, k))));
  }
  return out;
}

template <typename Lane>
inline __m512i Broadcast(Lane value) {
  __m512i out;
  for (int k = 0; k < 64 / static_cast<int>(sizeof(Lane)); ++k) SetLane<Lane>(out, k, value);
  return out;
}

inline __m512i _mm512_setzero_si512() { return Broadcast<uint64_t>(0); }
inline __m512i _mm512_set1_epi16(short v) { return Broadcast<uint16_t>(static_cast<uint16_t>(v)); }

inline __m256i _mm256_set1_epi64x(long long v) {
  __m256i out;
  for (int k = 0; k < 4; ++k) SetLane<uint64_t>(out, k, static_cast<uint64_t>(v));
  return out;
}

// Bit k of `mask` picks 32-bit element k of b, else of a.
inline __m256i _mm256_blend_epi32(__m256i a, __m256i b, int mask) {
  __m256i out;
  for (int k = 0; k < 8; ++k) {
    SetLane<uint32_t>(out, k, LaneOf<uint32_t>((mask >> k) & 1 ? b : a, k));
  }
  return out;
}

inline __m128i _mm_setr_epi8(char b0, char b1, char b2, char b3, char b4, char b5, char b6, char b7,
                             char b8, char b9, char b10, char b11, char b12, char b13, char b14,
                             char b15) {
  const char bytes[16] = {b0, b1, b2, b3, b4, b5, b6, b7, b8, b9, b10, b11, b12, b13, b14, b15};
  __m128i out;
  std::memcpy(out.b, bytes, 16);
  return out;
}

inline __m512i _mm512_broadcast_i32x4(__m128i v) {
  __m512i out;
  for (int k = 0; k < 4; ++k) std::memcpy(out.b + 16 * k, v.b, 16);
  return out;
}

// The upper half of a widened register is undefined; the model leaves it 0.
inline __m512i _mm512_castsi256_si512(__m256i v) {
  __m512i out = _mm512_setzero_si512();
  std::memcpy(out.b, v.b, 32);
  return out;
}
inline __m512i _mm512_inserti64x4(__m512i a, __m256i half, int upper) {
  std::memcpy(a.b + 32 * (upper & 1), half.b, 32);
  return a;
}

inline __m512i _mm512_loadu_si512(const void* at) {
  __m512i out;
  std::memcpy(out.b, at, 64);
  return out;
}
inline void _mm512_storeu_si512(void* at, __m512i v) { std::memcpy(at, v.b, 64); }
// A store past the caches: the address must be aligned to 64 bytes, which the model checks.
inline void _mm512_stream_si512(__m512i* at, __m512i v) {
  if (reinterpret_cast<uintptr_t>(at) % 64 != 0) __builtin_trap();
  std::memcpy(at, v.b, 64);
}
inline void _mm_sfence() {}

inline __m512i _mm512_or_si512(__m512i a, __m512i b) {
  return LaneWise<uint64_t>(a, b, [](uint64_t x, uint64_t y) { return x | y; });
}
inline __m512i _mm512_add_epi16(__m512i a, __m512i b) {
  return LaneWise<uint16_t>(a, b, [](uint32_t x, uint32_t y) { return x + y; });
}
inline __m512i _mm512_add_epi32(__m512i a, __m512i b) {
  return LaneWise<uint32_t>(a, b, [](uint32_t x, uint32_t y) { return x + y; });
}
inline __m512i _mm512_srli_epi16(__m512i a, unsigned shift) {
  return LaneWise<uint16_t>(a, a,
                            [shift](uint32_t x, uint32_t) { return shift > 15 ? 0u : x >> shift; });
}

// Signed 16-bit words multiplied in pairs, each pair's two products added into 32 bits.
inline __m512i _mm512_madd_epi16(__m512i a, __m512i b) {
  __m512i out;
  for (int k = 0; k < 16; ++k) {
    const auto product = [&](int word) {
      return static_cast<int32_t>(LaneOf<int16_t>(a, word)) * LaneOf<int16_t>(b, word);
    };
    SetLane<uint32_t>(out, k, static_cast<uint32_t>(product(2 * k) + product(2 * k + 1)));
  }
  return out;
}

// Within each 16-byte lane: the low (or high) eight bytes of a and b interleaved, a first.
inline __m512i Unpack8(__m512i a, __m512i b, int half) {
  __m512i out;
  for (int lane = 0; lane < 4; ++lane) {
    for (int k = 0; k < 8; ++k) {
      out.b[16 * lane + 2 * k] = a.b[16 * lane + 8 * half + k];
      out.b[16 * lane + 2 * k + 1] = b.b[16 * lane + 8 * half + k];
    }
  }
  return out;
}
inline __m512i _mm512_unpacklo_epi8(__m512i a, __m512i b) { return Unpack8(a, b, 0); }
inline __m512i _mm512_unpackhi_epi8(__m512i a, __m512i b) { return Unpack8(a, b, 1); }

// Within each 16-byte lane: 32-bit element k is element (control >> 2k) & 3 of the same lane.
inline __m512i _mm512_shuffle_epi32(__m512i a, _MM_PERM_ENUM control) {
  __m512i out;
  for (int k = 0; k < 16; ++k) {
    SetLane<uint32_t>(out, k, LaneOf<uint32_t>(a, (k & ~3) | ((control >> (2 * (k & 3))) & 3)));
  }
  return out;
}

// Within each 16-byte lane: the elements of a, then those of b, each narrowed to half its width
// with unsigned saturation (a negative element gives 0).
template <typename Wide, typename Narrow>
inline __m512i PackUnsigned(__m512i a, __m512i b) {
  constexpr int kPerLane = 16 / sizeof(Wide);
  constexpr Wide kMost = static_cast<Wide>(static_cast<Narrow>(~Narrow{0}));
  __m512i out;
  for (int lane = 0; lane < 4; ++lane) {
    for (int k = 0; k < 2 * kPerLane; ++k) {
      const Wide v = LaneOf<Wide>(k < kPerLane ? a : b, lane * kPerLane + k % kPerLane);
      const Narrow n = static_cast<Narrow>(v < 0 ? 0 : v > kMost ? kMost : v);
      SetLane<Narrow>(out, lane * 2 * kPerLane + k, n);
    }
  }
  return out;
}
inline __m512i _mm512_packus_epi32(__m512i a, __m512i b) {
  return PackUnsigned<int32_t, uint16_t>(a, b);
}
inline __m512i _mm512_packus_epi16(__m512i a, __m512i b) {
  return PackUnsigned<int16_t, uint8_t>(a, b);
}

// Within each 16-byte lane: a set high bit of the control byte gives 0, else its low four
// bits pick a byte of the same lane of a.
inline __m512i _mm512_shuffle_epi8(__m512i a, __m512i control) {
  __m512i out;
  for (int k = 0; k < 64; ++k) {
    const uint8_t c = control.b[k];
    out.b[k] = (c & 0x80) != 0 ? 0 : a.b[(k & ~15) | (c & 15)];
  }
  return out;
}
