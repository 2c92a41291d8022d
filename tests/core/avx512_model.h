#pragma once
// A scalar model of the AVX-512 intrinsics the feedback pass uses, lane by lane as the
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
using __mmask8 = uint8_t;

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
inline __m512i _mm512_set1_epi64(long long v) {
  return Broadcast<uint64_t>(static_cast<uint64_t>(v));
}
inline __m512i _mm512_set1_epi32(int v) { return Broadcast<uint32_t>(static_cast<uint32_t>(v)); }
inline __m512i _mm512_set1_epi16(short v) { return Broadcast<uint16_t>(static_cast<uint16_t>(v)); }

inline __m512i _mm512_mask_set1_epi64(__m512i source, __mmask8 mask, long long v) {
  for (int k = 0; k < 8; ++k) {
    if ((mask >> k) & 1) SetLane<uint64_t>(source, k, static_cast<uint64_t>(v));
  }
  return source;
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

inline __m256i _mm256_loadu_si256(const __m256i* at) {
  __m256i out;
  std::memcpy(out.b, at, 32);
  return out;
}
inline void _mm256_storeu_si256(__m256i* at, __m256i v) { std::memcpy(at, v.b, 32); }

inline __m512i _mm512_cvtepu8_epi16(__m256i v) {
  __m512i out;
  for (int k = 0; k < 32; ++k) SetLane<uint16_t>(out, k, v.b[k]);
  return out;
}

inline __m256i _mm512_cvtepi64_epi32(__m512i v) {
  __m256i out;
  for (int k = 0; k < 8; ++k)
    SetLane<uint32_t>(out, k, static_cast<uint32_t>(LaneOf<uint64_t>(v, k)));
  return out;
}

inline __m512i _mm512_and_si512(__m512i a, __m512i b) {
  return LaneWise<uint64_t>(a, b, [](uint64_t x, uint64_t y) { return x & y; });
}
inline __m512i _mm512_add_epi16(__m512i a, __m512i b) {
  return LaneWise<uint16_t>(a, b, [](uint32_t x, uint32_t y) { return x + y; });
}
inline __m512i _mm512_adds_epu16(__m512i a, __m512i b) {
  return LaneWise<uint16_t>(a, b,
                            [](uint32_t x, uint32_t y) { return x + y > 65535u ? 65535u : x + y; });
}
inline __m512i _mm512_mullo_epi16(__m512i a, __m512i b) {
  return LaneWise<uint16_t>(a, b, [](uint32_t x, uint32_t y) { return x * y; });
}
inline __m512i _mm512_srli_epi16(__m512i a, unsigned shift) {
  return LaneWise<uint16_t>(a, a,
                            [shift](uint32_t x, uint32_t) { return shift > 15 ? 0u : x >> shift; });
}
inline __m512i _mm512_srli_epi64(__m512i a, unsigned shift) {
  return LaneWise<uint64_t>(a, a,
                            [shift](uint64_t x, uint64_t) { return shift > 63 ? 0u : x >> shift; });
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

// Each result bit is bit (a << 2 | b << 1 | c) of `table`, from the bits of a, b and c there.
inline __m512i _mm512_ternarylogic_epi32(__m512i a, __m512i b, __m512i c, int table) {
  __m512i out;
  for (int k = 0; k < 64; ++k) {
    uint8_t byte = 0;
    for (int bit = 0; bit < 8; ++bit) {
      const int index =
          ((a.b[k] >> bit) & 1) << 2 | ((b.b[k] >> bit) & 1) << 1 | ((c.b[k] >> bit) & 1);
      byte = static_cast<uint8_t>(byte | ((table >> index) & 1) << bit);
    }
    out.b[k] = byte;
  }
  return out;
}
