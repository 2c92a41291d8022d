#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvex::host {

// Sixteen-bit stereo audio in memory (the built-in demo track): what the host feeds the plug-in.
struct AudioTrack {
  std::string title;
  int32_t sampleRate = 0;
  std::vector<int16_t> samples;  // interleaved left, right

  int64_t FrameCount() const { return static_cast<int64_t>(samples.size() / 2); }
};

// What the playlist needs to know of a file before it is played.
struct AudioFileInfo {
  std::string path;
  std::string title;  // "Artist - Title" or the title from the tags, else the file's name
  int32_t sampleRate = 0;
  int64_t frameCount = 0;  // counted from the packets in the file, never taken from its header
};

// Where the bytes of a file come from: a path, or bytes in memory (a fuzzer's input). `name`
// names the file in messages; for bytes its extension is only a hint, the content decides.
struct AudioSource {
  std::string name;
  const uint8_t* bytes = nullptr;
  size_t size = 0;

  static AudioSource File(const std::string& path) { return {path}; }
  static AudioSource Memory(const std::string& name, const uint8_t* bytes, size_t size) {
    return {name, bytes, size};
  }
  bool InMemory() const { return bytes != nullptr; }
};

// One song decoded as it is read, with FFmpeg's libraries: any container and codec they know
// (WAV, FLAC, MP3, Ogg Vorbis, Opus, AAC/M4A, ALAC, WMA, the sound track of a video file), as
// 16-bit stereo at the file's own sample rate. One channel feeds both; more than two are mixed
// down as players mix them. Memory stays the same whatever the song's length: only the frame
// being handed out is held. A damaged packet is skipped and a truncated file simply ends.
class AudioStream {
 public:
  // Throws HostError (input) naming the file: missing, a folder, unreadable, not audio, no
  // sound track, a codec this build cannot decode, a sample rate outside 8000..384000 Hz.
  explicit AudioStream(const AudioSource& source);
  ~AudioStream();
  AudioStream(const AudioStream&) = delete;
  AudioStream& operator=(const AudioStream&) = delete;

  int32_t sampleRate() const;
  // "Artist - Title", the title, or empty when the tags have no title.
  std::string TaggedTitle() const;

  // Decodes up to `frames` frames into `stereo` (interleaved); fewer only at the end.
  int64_t Read(int16_t* stereo, int64_t frames);
  // Passes over up to `frames` frames; fewer only at the end.
  int64_t Skip(int64_t frames);
  // Moves to a frame of the song, forward or back, and returns where the stream now is: that
  // frame, or the end when the song is shorter. Far jumps seek in the file (landing a second
  // early and decoding up to the frame), so starting deep into a long song costs little.
  int64_t SkipTo(int64_t frame);
  // The frame the next Read starts with.
  int64_t position() const;
  // Counts the frames left by reading the packets without decoding them (a packet knows its
  // own length), so a header's claim is never believed. Leaves the stream at its end.
  int64_t CountRemainingFrames();

 private:
  struct Decoder;
  void Restart();

  AudioSource source_;
  std::unique_ptr<Decoder> decoder_;
};

// Opens a file and reads its format, tags and true length. A missing, unreadable, empty or
// non-audio file throws HostError with a line that names the file and the problem.
AudioFileInfo ProbeAudioFile(const std::string& path);

// Decodes a whole source, handing each decoded run of 16-bit stereo frames to `block` (the
// pointer is valid during the call only). Returns the sample rate. Throws HostError (input) for
// what ProbeAudioFile refuses; any other input just ends early.
int32_t DecodeAudioBlocks(const AudioSource& source,
                          const std::function<void(const int16_t* stereo, int64_t frames)>& block);

}  // namespace corvex::host
