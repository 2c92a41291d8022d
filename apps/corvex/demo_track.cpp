#include "demo_track.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace corvex::host {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBeatSeconds = 0.5;  // 120 beats per minute
constexpr int32_t kBeatsPerBar = 4;
constexpr int32_t kBarsPerSection = 4;

// What plays in a section, and how loud.
struct Section {
  double level;
  bool kick, snare, hats, fastHats, bass, melody, pad;
  int32_t melodyPattern;
  int32_t sweep;  // 0 none, 1 rising, -1 falling
};

constexpr std::array<Section, 8> kSections = {{
    {0.35, false, false, true, false, false, true, true, 0, 0},   // intro, quiet
    {0.70, true, false, true, false, true, false, true, 0, 0},    // beat and bass
    {1.00, true, true, true, false, true, true, false, 1, 0},     // full, first tune
    {0.30, false, false, false, false, false, false, true, 0, 1},  // break, sweep up
    {0.85, true, true, true, false, true, true, false, 2, 0},     // second tune
    {1.00, true, true, true, true, true, true, true, 3, 0},       // loudest, fast hats
    {0.40, false, false, true, false, true, false, true, 0, -1},  // calm, sweep down
    {0.95, true, true, true, true, true, true, false, 1, 0},      // finale, fading out
}};

// A minor, F major, C major, G major: one chord per bar; bass roots and pad notes in Hz.
constexpr std::array<double, 4> kBassRoots = {55.0, 43.65, 65.41, 49.0};
constexpr std::array<std::array<double, 3>, 4> kPadChords = {{
    {220.0, 261.63, 329.63}, {174.61, 220.0, 261.63}, {261.63, 329.63, 392.0},
    {196.0, 246.94, 293.66}}};
// A minor pentatonic over two octaves.
constexpr std::array<double, 10> kScale = {440.0, 523.25, 587.33, 659.26, 783.99,
                                           880.0, 1046.5, 1174.66, 1318.51, 1567.98};
// Eighth-note melodies over one bar: scale degree, or -1 for a rest.
constexpr std::array<std::array<int32_t, 8>, 4> kMelodies = {{
    {0, -1, 2, 3, -1, 4, 3, 2},
    {5, 4, 3, 4, 5, -1, 7, 5},
    {2, 4, 6, 4, 7, 6, 4, 2},
    {9, 7, 8, 6, 7, 5, 6, 4}}};

// sin(2 pi cycles) from a table: the synthesis makes tens of millions of these, and the
// table keeps a first render quick without changing what anyone hears.
class SineTable {
 public:
  SineTable() {
    for (int32_t i = 0; i <= kSize; ++i) values_[i] = std::sin(2.0 * kPi * i / kSize);
  }
  double operator()(double cycles) const {
    const double position = (cycles - std::floor(cycles)) * kSize;
    const auto index = static_cast<int32_t>(position);
    const double fraction = position - index;
    return values_[index] + (values_[index + 1] - values_[index]) * fraction;
  }

 private:
  static constexpr int32_t kSize = 4096;
  double values_[kSize + 1];
};

const SineTable Sine;

class Mixer {
 public:
  Mixer(int32_t sampleRate, double seconds)
      : rate_(sampleRate), left_(static_cast<size_t>(seconds * sampleRate)),
        right_(left_.size()) {}

  size_t Length() const { return left_.size(); }
  int32_t Rate() const { return rate_; }

  // Adds voice(t) from `start` for `duration` seconds, panned from -1 (left) to 1 (right).
  template <typename Voice>
  void Add(double start, double duration, double gain, double pan, Voice voice) {
    const size_t first = static_cast<size_t>(start * rate_);
    const size_t count = static_cast<size_t>(duration * rate_);
    const double leftGain = gain * std::sqrt(0.5 * (1.0 - pan));
    const double rightGain = gain * std::sqrt(0.5 * (1.0 + pan));
    for (size_t i = 0; i < count && first + i < left_.size(); ++i) {
      const double value = voice(static_cast<double>(i) / rate_);
      left_[first + i] += value * leftGain;
      right_[first + i] += value * rightGain;
    }
  }

  // Soft limiting keeps the loud sections loud without wrapping round.
  std::vector<int16_t> Interleaved16() const {
    std::vector<int16_t> out(left_.size() * 2);
    for (size_t i = 0; i < left_.size(); ++i) {
      out[2 * i] = static_cast<int16_t>(std::lround(std::tanh(left_[i]) * 32000.0));
      out[2 * i + 1] = static_cast<int16_t>(std::lround(std::tanh(right_[i]) * 32000.0));
    }
    return out;
  }

 private:
  int32_t rate_;
  std::vector<double> left_;
  std::vector<double> right_;
};

// A small deterministic noise source for the drums.
class Noise {
 public:
  double Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 23) - 1.0;
  }

 private:
  uint32_t state_ = 12345u;
};

void AddKick(Mixer& mix, double at, double level) {
  mix.Add(at, 0.4, 0.9 * level, 0.0, [](double t) {
    // The pitch falls from 150 Hz to 45 Hz; the phase is the integral of that frequency.
    return Sine(45.0 * t + 105.0 * 0.04 * (1.0 - std::exp(-t / 0.04))) * std::exp(-t / 0.12);
  });
}

void AddSnare(Mixer& mix, Noise& noise, double at, double level) {
  mix.Add(at, 0.25, 0.45 * level, 0.1, [&noise](double t) {
    return (0.7 * noise.Next() + 0.5 * Sine(190.0 * t)) * std::exp(-t / 0.06);
  });
}

void AddHat(Mixer& mix, Noise& noise, double at, double level) {
  double last = 0.0;
  mix.Add(at, 0.06, 0.22 * level, 0.5, [&noise, &last](double t) {
    const double value = noise.Next();
    const double high = value - last;  // a first difference keeps only the hiss
    last = value;
    return high * std::exp(-t / 0.015);
  });
}

void AddBass(Mixer& mix, double at, double frequency, double level) {
  mix.Add(at, kBeatSeconds / 2, 0.5 * level, -0.1, [frequency](double t) {
    double value = 0.0;
    for (int32_t harmonic = 1; harmonic <= 5; ++harmonic) {
      value += Sine(frequency * harmonic * t) / harmonic;
    }
    const double envelope = std::min(1.0, t / 0.005) * std::exp(-t / 0.18);
    return 0.6 * value * envelope;
  });
}

void AddLead(Mixer& mix, double at, double frequency, double level) {
  mix.Add(at, kBeatSeconds / 2, 0.28 * level, -0.35, [frequency](double t) {
    // A soft square: odd harmonics with a slight vibrato.
    const double f = frequency * (1.0 + 0.004 * Sine(5.0 * t));
    double value = 0.0;
    for (int32_t harmonic = 1; harmonic <= 7; harmonic += 2) {
      value += Sine(f * harmonic * t) / harmonic;
    }
    const double envelope = std::min(1.0, t / 0.01) * std::exp(-t / 0.25);
    return value * envelope;
  });
}

void AddPad(Mixer& mix, double at, double seconds, const std::array<double, 3>& chord,
            double level) {
  mix.Add(at, seconds, 0.12 * level, 0.0, [&chord, seconds](double t) {
    double value = 0.0;
    for (double frequency : chord) {
      value += Sine(frequency * t) + 0.3 * Sine(frequency * 2.003 * t);
    }
    const double envelope = std::min({1.0, t / 0.3, (seconds - t) / 0.3});
    return value * envelope;
  });
}

// A pure tone gliding exponentially between 80 Hz and 8 kHz over the whole section.
void AddSweep(Mixer& mix, double at, double seconds, int32_t direction, double level) {
  const double low = 80.0;
  const double high = 8000.0;
  const double from = direction > 0 ? low : high;
  const double ratio = direction > 0 ? high / low : low / high;
  mix.Add(at, seconds, 0.5 * level, 0.0, [=](double t) {
    const double k = std::log(ratio) / seconds;
    const double envelope = std::min({1.0, t / 0.2, (seconds - t) / 0.2});
    return Sine(from * (std::exp(k * t) - 1.0) / k) * envelope;
  });
}

}  // namespace

AudioTrack SynthesizeDemoTrack(int32_t sampleRate) {
  const double barSeconds = kBeatSeconds * kBeatsPerBar;
  const double sectionSeconds = barSeconds * kBarsPerSection;
  const double total = sectionSeconds * kSections.size() + 1.0;  // a second of ring-out
  Mixer mix(sampleRate, total);
  Noise noise;

  for (size_t s = 0; s < kSections.size(); ++s) {
    const Section& section = kSections[s];
    const double sectionStart = s * sectionSeconds;
    if (section.sweep != 0) {
      AddSweep(mix, sectionStart, sectionSeconds, section.sweep, section.level);
    }
    for (int32_t bar = 0; bar < kBarsPerSection; ++bar) {
      const double barStart = sectionStart + bar * barSeconds;
      const size_t chord = static_cast<size_t>(bar);
      // The last section fades out bar by bar.
      const double level = s + 1 == kSections.size() ? section.level * (1.0 - 0.22 * bar)
                                                     : section.level;
      if (section.pad) AddPad(mix, barStart, barSeconds, kPadChords[chord], level);
      for (int32_t beat = 0; beat < kBeatsPerBar; ++beat) {
        const double at = barStart + beat * kBeatSeconds;
        if (section.kick && (beat % 2 == 0 || (bar == 3 && beat == 3))) AddKick(mix, at, level);
        if (section.snare && beat % 2 == 1) AddSnare(mix, noise, at, level);
        if (section.hats) {
          AddHat(mix, noise, at + kBeatSeconds / 2, level);
          if (section.fastHats) {
            AddHat(mix, noise, at + kBeatSeconds / 4, level * 0.6);
            AddHat(mix, noise, at + 3 * kBeatSeconds / 4, level * 0.6);
          }
        }
        if (section.bass) {
          AddBass(mix, at, kBassRoots[chord], level);
          AddBass(mix, at + kBeatSeconds / 2, kBassRoots[chord] * (beat == 3 ? 1.5 : 2.0), level);
        }
        if (section.melody) {
          for (int32_t half = 0; half < 2; ++half) {
            const int32_t degree =
                kMelodies[static_cast<size_t>(section.melodyPattern)][static_cast<size_t>(beat * 2 + half)];
            if (degree >= 0) {
              // Every other bar the tune moves up a step, so it never repeats for long.
              const size_t note = static_cast<size_t>(std::min<int32_t>(degree + bar % 2, 9));
              AddLead(mix, at + half * kBeatSeconds / 2, kScale[note], level);
            }
          }
        }
      }
    }
  }

  AudioTrack track;
  track.title = kDemoTitle;
  track.sampleRate = sampleRate;
  track.samples = mix.Interleaved16();
  return track;
}

}  // namespace corvex::host
