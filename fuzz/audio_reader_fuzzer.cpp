// Any bytes as a song file: the first byte names the file's container (its extension, which the
// demuxers' probe weighs beside the content), the rest are the file. A file the reader refuses
// must be refused with an input error; any other file decodes to the end. Decoded twice, once
// in the player's blocks and once in reads of sizes the input chooses, it must give the same
// frames, count them as delivered, and never give more than its bytes could hold.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "audio_file.h"
#include "fuzz_player.h"
#include "host_error.h"

namespace corvex::fuzzing {
namespace {

const char* const kExtensions[] = {"wav", "flac", "ogg", "opus", "mp3", "m4a", "aac", "wma",
                                   "mp4", "mkv",  "webm", "mka", "aiff", "au", "ac3", "oga"};
constexpr size_t kExtensionCount = sizeof kExtensions / sizeof kExtensions[0];

// The most frames a byte of a file can stand for: a FLAC frame of constant subframes holds 65535
// frames in about ten bytes. More than this would be sound made up beyond what the file holds.
constexpr int64_t kMaxFramesPerByte = 8192;
constexpr int64_t kBlockLimit = 4096;  // DecodeAudioBlocks hands out at most this many at once

// Folds frames into a running hash, so the two decodings compare without keeping the sound.
uint64_t Fold(uint64_t hash, const int16_t* stereo, int64_t frames) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(stereo);
  for (size_t i = 0; i < static_cast<size_t>(frames) * 4; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  return hash;
}

struct Decoded {
  int64_t frames = 0;
  uint64_t hash = 14695981039346656037ull;
  int32_t rate = 0;
};

Decoded InBlocks(const host::AudioSource& source) {
  Decoded out;
  out.rate = host::DecodeAudioBlocks(source, [&](const int16_t* stereo, int64_t frames) {
    Require(stereo != nullptr, "a block without samples");
    Require(frames > 0 && frames <= kBlockLimit, "a block of " + std::to_string(frames) + " frames");
    out.hash = Fold(out.hash, stereo, frames);  // reads both channels of every frame
    out.frames += frames;
  });
  return out;
}

// Reads of 1..256 frames as `sizes` says, into a buffer with a guard frame after each read.
Decoded InReads(const host::AudioSource& source, const uint8_t* sizes, size_t sizeCount) {
  host::AudioStream stream(source);
  Decoded out;
  out.rate = stream.sampleRate();
  int16_t buffer[(256 + 1) * 2];
  for (size_t turn = 0;; ++turn) {
    const int64_t wanted = sizeCount == 0 ? 256 : 1 + sizes[turn % sizeCount];
    buffer[wanted * 2] = buffer[wanted * 2 + 1] = 0x5a5a;
    const int64_t got = stream.Read(buffer, wanted);
    Require(got >= 0 && got <= wanted, "a read of " + std::to_string(wanted) + " gave " + std::to_string(got));
    Require(buffer[wanted * 2] == 0x5a5a && buffer[wanted * 2 + 1] == 0x5a5a, "a read wrote past its frames");
    out.hash = Fold(out.hash, buffer, got);
    out.frames += got;
    Require(stream.position() == out.frames, "position " + std::to_string(stream.position()) +
                                                 " after " + std::to_string(out.frames) + " frames read");
    if (got < wanted) break;
  }
  Require(stream.Read(buffer, 1) == 0, "a read after the end gave frames");
  return out;
}

}  // namespace
}  // namespace corvex::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace corvex;
  using namespace corvex::fuzzing;
  if (size < 2) return -1;
  // Byte 0: the container; byte 1: how many of the following bytes set the read sizes.
  const std::string name = std::string("song.") + kExtensions[data[0] % kExtensionCount];
  const size_t sizeCount = std::min<size_t>(data[1] % 8, size - 2);
  const uint8_t* sizes = data + 2;
  const uint8_t* file = sizes + sizeCount;
  const size_t fileSize = size - 2 - sizeCount;
  // The reader takes a null pointer for a path: an empty file still comes from memory.
  static const uint8_t kNothing = 0;
  const host::AudioSource source = host::AudioSource::Memory(name, fileSize > 0 ? file : &kNothing, fileSize);

  Decoded blocks;
  try {
    blocks = InBlocks(source);
  } catch (const host::HostError& refused) {
    Require(refused.status == host::ExitStatus::kInput, std::string("refused as not input: ") + refused.what());
    Require(std::strncmp(refused.what(), name.c_str(), name.size()) == 0,
            std::string("a refusal that does not name the file: ") + refused.what());
    return 0;
  }
  Require(blocks.rate >= 8000 && blocks.rate <= 384000, "sample rate " + std::to_string(blocks.rate));
  Require(blocks.frames <= kMaxFramesPerByte * static_cast<int64_t>(fileSize),
          std::to_string(blocks.frames) + " frames from " + std::to_string(fileSize) + " bytes");

  const Decoded reads = InReads(source, sizes, sizeCount);
  Require(reads.rate == blocks.rate, "the sample rate changed between two openings");
  Require(reads.frames == blocks.frames, "read " + std::to_string(reads.frames) + " frames, decoded " +
                                             std::to_string(blocks.frames) + " in blocks");
  Require(reads.hash == blocks.hash, "the same bytes decoded to other samples");
  return 0;
}
