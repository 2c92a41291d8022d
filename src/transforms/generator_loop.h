#pragma once
// The loops and the helpers that every generator shares.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "transforms/map_rows.h"
#include "transforms/row_bands.h"
#include "transforms/sampling_rule.h"
#include "transforms/transform_manager.h"

namespace corvex {

// A pixel's source position, as the generator computes it.
struct SourcePoint {
  double x;
  double y;
};

// Distance and angle of a pixel from a centre.
struct Polar {
  double r;
  double phi;
};

inline Polar PolarAbout(double x, double y, double centerX, double centerY) {
  const double dx = x - centerX;
  const double dy = y - centerY;
  return {DistanceFrom(dx, dy), std::atan2(dy, dx)};
}

// The point at `radius` and `angle` from a centre. Cosine and sine of one angle: the
// compiler makes them one sincos call where the C library has it, with the same bits.
inline SourcePoint PolarSource(double centerX, double centerY, double radius, double angle) {
  return {centerX + radius * std::cos(angle), centerY + radius * std::sin(angle)};
}

// The source positions of one row, gathered for the row kernel's sampling rule.
struct SourceRow {
  explicit SourceRow(int32_t width) : x(static_cast<size_t>(width)), y(x.size()) {}
  void Set(int32_t column, SourcePoint s) {
    x[static_cast<size_t>(column)] = s.x;
    y[static_cast<size_t>(column)] = s.y;
  }
  std::vector<double> x, y;
};

// Whether the C library's sine is odd and its cosine even to the bit. A test holds glibc's to
// it over the arguments the generators give them; with another library each mirror image
// computes its own values.
#if defined(__GLIBC__)
inline constexpr bool kSineOddCosineEven = true;
#else
inline constexpr bool kSineOddCosineEven = false;
#endif

// What the polar transforms compute from a multiple of the angle, once for a pixel and its
// mirror image about the centre's row, whose angle is the negative: where the sine is odd and
// the cosine even, the mirror image's values follow from the pixel's. NoTerms stands for none,
// of the angle or of the distance.
struct NoTerms {
  NoTerms Mirrored() const { return *this; }
};
struct AngularCosine {
  double cos;
  AngularCosine Mirrored() const { return *this; }
};
struct AngularSineCosine {
  double sin, cos;
  AngularSineCosine Mirrored() const { return {-sin, cos}; }
};

inline const MapRowKernels& TransformManager::RowKernels() const {
  return rowKernels != nullptr ? *rowKernels : BestMapRowKernels();
}

inline void TransformManager::SampleRow(const SourceRow& row, int32_t y) {
  const int64_t first = int64_t{y} * mapWidth;
  RowKernels().sample(row.x.data(), row.y.data(), mapWidth, mapWidth, mapHeight,
                      sourceOffsets + first, sourceWeights + 4 * first);
}

// Builds the entries of every pixel: `source(x, y)` gives the source position of the pixel
// in column x and row y, and the sampling rule turns each row of them into entries. Every
// entry depends on its own pixel alone, so rows are split across `threads` threads (all joined
// before this returns) and the map has the same bits whatever their number. Within a row the
// source positions are asked for in column order.
template <typename Source>
void TransformManager::ForEachPixel(Source&& source, int32_t threads) {
  const int32_t width = mapWidth, height = mapHeight;
  ForEachRowBand(height, threads, [&](int32_t firstRow, int32_t endRow) {
    SourceRow row(width);
    for (int32_t y = firstRow; y < endRow; ++y) {
      for (int32_t x = 0; x < width; ++x) row.Set(x, source(x, y));
      SampleRow(row, y);
    }
  });
}

// A row and the other row of its pair about the centre's row, or -1 for none.
struct RowPair {
  int32_t y;
  int32_t mirror;
};

// Rows mirrored about a centre that lies on a row or halfway between two, y and 2 cy - y, are
// built together: calls band(first, end) for bands of row pairs, each pair a row and the other
// row of its pair, or -1 for a row whose mirror image lies outside the map (or is itself, on
// the centre's row). Each row comes once, as y or as a mirror; the bands are split across
// threads like the rows of ForEachPixel. The pairs come in the order of their first row, or
// with `lowerRowFirst` in the order of the lower of their two rows (from the centre out).
template <typename Band>
void TransformManager::ForEachMirroredRowBand(double cy, Band&& band, bool lowerRowFirst) {
  const int32_t height = mapHeight;
  const double twice = 2 * cy;
  const bool mirrored =
      shareMirroredRows && twice == std::floor(twice) && twice > 0 && twice < 2.0 * height;
  const auto sum = mirrored ? static_cast<int32_t>(twice) : -1;
  std::vector<RowPair> pairs;
  pairs.reserve(static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    const int32_t mirror = mirrored ? sum - y : -1;
    if (mirror >= 0 && mirror < y) continue;  // built with its pair
    pairs.push_back({y, mirror > y && mirror < height ? mirror : -1});
  }
  if (lowerRowFirst) {
    std::stable_sort(pairs.begin(), pairs.end(), [](const RowPair& a, const RowPair& b) {
      return std::max(a.y, a.mirror) < std::max(b.y, b.mirror);
    });
  }
  ForEachRowBand(static_cast<int32_t>(pairs.size()), BuildThreads(),
                 [&](int32_t first, int32_t end) { band(&pairs[first], &pairs[end - 1] + 1); });
}

// Where a polar generator takes a pixel from: the radius and the angle about its centre.
struct PolarPlace {
  double radius;
  double angle;
};

// A double that waits in the 8 bytes of pixel i's own entry (its offset and its four weights)
// until the entry is built: a build that needs a value per pixel across passes keeps it there
// instead of in memory of its own, which would have to be mapped afresh on every build.
inline void KeepInEntry(uint32_t* offsets, uint8_t* weights, size_t i, double value) {
  uint32_t halves[2];
  std::memcpy(halves, &value, sizeof value);
  offsets[i] = halves[0];
  std::memcpy(weights + 4 * i, &halves[1], 4);
}

inline double KeptInEntry(const uint32_t* offsets, const uint8_t* weights, size_t i) {
  uint32_t halves[2] = {offsets[i], 0};
  std::memcpy(&halves[1], weights + 4 * i, 4);
  double value;
  std::memcpy(&value, halves, sizeof value);
  return value;
}

// The angles a build kept in the entries of its rows (KeepInEntry), as the angle of the polar
// loop: reads, which the loop does alongside its angular calls rather than in a loop of their
// own.
struct KeptAngles {
  double operator()(int32_t x, int32_t y, double) const {
    return KeptInEntry(offsets, weights, static_cast<size_t>(y) * width + x);
  }
  const uint32_t* offsets;
  const uint8_t* weights;
  int32_t width;
};

// The sine and cosine of an angle, stored where they are wanted. With glibc that is one sincos
// call, the very call the compiler makes of a sine and a cosine of one angle, without the copies
// through the stack that it adds around it; elsewhere the two calls.
inline void SineAndCosine(double angle, double* sine, double* cosine) {
#if defined(__GLIBC__)
  ::sincos(angle, sine, cosine);
#else
  *sine = std::sin(angle);
  *cosine = std::cos(angle);
#endif
}

// The sine and cosine of a whole multiple of the angle, as the polar loop's `angular`: it
// stores them straight into the loop's array (see SineAndCosine) or returns them.
struct SineCosineOfMultiple {
  void operator()(double phi, AngularSineCosine* into) const {
    SineAndCosine(multiple * phi, &into->sin, &into->cos);
  }
  AngularSineCosine operator()(double phi) const {
    AngularSineCosine value;
    (*this)(phi, &value);
    return value;
  }
  int32_t multiple;
};

// A row's working arrays for PlaceRow.
struct PlacedRow {
  double* radii;
  double* cosines;
  double* sines;
};

// The source positions of a row of polar pixels: the radius and angle of each pixel from
// place(Polar{distance, sign * angle}, radial, angular, index) with the cosine and sine of the
// angle (one sincos call) in one loop, then the points there about `centre`, `drift` rows
// higher, with the row kernels. Everything arrives as a value or a plain pointer, kept in
// registers: a store through a double could otherwise change what a reference reads (the build
// lets any store alias) and every pixel would read it again.
template <typename Place, typename RadialValue, typename AngularValue>
void PlaceRow(const Place place, const double* distances, const double* angles, double sign,
              const RadialValue* radials, const AngularValue* angulars, int64_t firstIndex,
              int32_t count, const MapRowKernels& kernels, PlacedRow placed, SourcePoint centre,
              double drift, double* sourceX, double* sourceY) {
  for (int32_t x = 0; x < count; ++x) {
    const PolarPlace q =
        place(Polar{distances[x], sign * angles[x]}, radials[x], angulars[x], firstIndex + x);
    placed.radii[x] = q.radius;
    SineAndCosine(q.angle, placed.sines + x, placed.cosines + x);
  }
  kernels.points(centre.x, centre.y, placed.radii, placed.cosines, placed.sines, count, sourceX,
                 sourceY);
  if (drift != 0) {
    for (int32_t x = 0; x < count; ++x) sourceY[x] = sourceY[x] - drift;
  }
}

// The pace of a polar build whose rows are all ready from the start: Alongside(loop) runs
// loop(0) to loop(width - 1), and Ready(rows) has nothing to wait for.
struct NoPace {
  template <typename Loop>
  void Alongside(Loop&& loop) const {
    for (int32_t x = 0; x < width; ++x) loop(x);
  }
  void Ready(int32_t) const {}
  int32_t width;
};

// The polar generators' loop. A pixel and its mirror image about the centre's row are at the
// same distance from the centre to the bit (dy * dy does not see the sign of dy) and at
// opposite angles (atan2 is odd in y, to the bit as well in the C library); so are a pixel and
// its mirror image about the centre's column, whose angles differ. Per row pair:
// - `angle(x, y, dy)` gives the angle of pixel (x, y), dy = y - cy, once for the pair;
// - `radial(r)` what depends on the distance alone, once for up to four pixels;
// - `angular(phi)` what depends on the angle alone, once for the pair (see NoTerms);
// - `place(p, radial, angular, index)` gives the radius and angle that pixel `index` at
//   p = (r, phi) is taken from; its source is the point there, `drift` rows higher;
// - `pace` (see NoPace) runs each pair's loop of `angular` calls, where a build whose rows
//   become ready over time (the typo's running sum) may do work of its own alongside, and is
//   then told how many rows from the top the pair needs: the pairs come from the centre out,
//   so a build whose rows become ready from the top down can start before the last ones are.
// Where the centre gives no mirrored rows or columns every pixel computes its own.
template <typename Angle, typename Radial, typename Angular, typename Place, typename Pace>
void TransformManager::ForEachPolarRow(double cx, double cy, Angle&& angle, Radial&& radial,
                                       Angular&& angular, Place&& place, Pace& pace,
                                       double drift) {
  using RadialValue = std::decay_t<decltype(radial(0.0))>;
  using AngularValue = std::decay_t<decltype(angular(0.0))>;
  const int32_t width = mapWidth;
  const double twiceX = 2 * cx;
  // Column x shares with column columnSum - x; -1 shares with none.
  const int64_t columnSum =
      shareMirroredRows && twiceX == std::floor(twiceX) && std::fabs(twiceX) < 4.0 * 65536
          ? static_cast<int64_t>(twiceX)
          : -1;
  const MapRowKernels& kernels = RowKernels();
  ForEachMirroredRowBand(
      cy,
      [&](const RowPair* first, const RowPair* end) {
        // Copies of the callables and plain pointers to the row's arrays, for the reason that
        // PlaceRow takes values.
        const auto angleOf = angle;
        const auto radialOf = radial;
        const auto angularOf = angular;
        const auto placeOf = place;
        const auto columns = static_cast<size_t>(width);
        // Every array is written before it is read: none needs clearing first.
        const std::unique_ptr<double[]> buffers(new double[5 * columns]);
        double* const distances = buffers.get();
        double* const angles = distances + columns;
        const PlacedRow placed{angles + columns, angles + 2 * columns, angles + 3 * columns};
        const std::unique_ptr<RadialValue[]> radialValues(new RadialValue[columns]);
        const std::unique_ptr<AngularValue[]> angularValues(new AngularValue[columns]);
        RadialValue* const radials = radialValues.get();
        AngularValue* const angulars = angularValues.get();
        SourceRow row(width);
        double* const sourceX = row.x.data();
        double* const sourceY = row.y.data();
        const auto build = [&](int32_t y, double sign) {
          PlaceRow(placeOf, distances, angles, sign, radials, angulars, int64_t{y} * width, width,
                   kernels, placed, SourcePoint{cx, cy}, drift, sourceX, sourceY);
          SampleRow(row, y);
        };
        for (const RowPair* pair = first; pair != end; ++pair) {
          const int32_t y = pair->y, mirror = pair->mirror;
          const double dy = y - cy;
          kernels.distances(dy, cx, width, distances);
          for (int32_t x = 0; x < width; ++x) {
            const int64_t other = columnSum - x;
            radials[x] = other >= 0 && other < x ? radials[other] : radialOf(distances[x]);
          }
          // One step at a time across the row: the library calls of one step do not wait for
          // each other, so the core overlaps them, where a pixel's own calls each wait for the
          // one before. Every call has the arguments it would have pixel by pixel.
          if constexpr (std::is_same_v<std::decay_t<Angle>, KeptAngles>) {
            // Reads, not calls: done in the loop of the angular calls, whose time hides them.
            pace.Alongside([=](int32_t x) {
              angles[x] = angleOf(x, y, dy);
              angulars[x] = angularOf(angles[x]);
            });
          } else {
            for (int32_t x = 0; x < width; ++x) angles[x] = angleOf(x, y, dy);
            pace.Alongside([=](int32_t x) {
              if constexpr (std::is_invocable_v<decltype(angularOf), double, AngularValue*>) {
                angularOf(angles[x], angulars + x);
              } else {
                angulars[x] = angularOf(angles[x]);
              }
            });
          }
          pace.Ready(std::max(y, mirror) + 1);
          build(y, 1);
          if (mirror < 0) continue;
          // The mirror row's angles are the negatives (-1 * phi is -phi, exactly).
          for (int32_t x = 0; x < width; ++x) {
            angulars[x] = kSineOddCosineEven ? angulars[x].Mirrored() : angularOf(-angles[x]);
          }
          build(mirror, -1);
        }
      },
      true);
}

// The polar loop for generators whose angle is the pixel's own: `radial(r)` as above and
// `place(p, radial)` gives the radius and angle the pixel is taken from.
template <typename Radial, typename Place>
void TransformManager::ForEachPolarPixel(double cx, double cy, Radial&& radial, Place&& place,
                                         double drift) {
  NoPace pace{mapWidth};
  ForEachPolarRow(
      cx, cy, [cx](int32_t x, int32_t, double dy) { return std::atan2(dy, x - cx); }, radial,
      [](double) { return NoTerms{}; },
      [place](const Polar& p, const auto& shared, NoTerms, int64_t) { return place(p, shared); },
      pace, drift);
}

inline void TransformManager::SetFlags(uint8_t sustainFlag, uint8_t sustainOptionalFlag,
                                       uint8_t centerDetailFlag) {
  sustain = sustainFlag;
  sustainOptional = sustainOptionalFlag;
  centerDetail = centerDetailFlag;
}

}  // namespace corvex
