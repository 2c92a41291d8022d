#include "audio_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
#include <libswresample/swresample.h>
}

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <mutex>

#include "host_error.h"

namespace corvex::host {

namespace {

constexpr int32_t kMinRate = 8000;
constexpr int32_t kMaxRate = 384000;
// Reading gives up after this many errors in a row: a file that yields nothing but damage
// has ended as far as a listener can tell.
constexpr int kMaxErrorsInARow = 64;
// The most channels the mixer takes.
constexpr int kMaxChannels = 64;
// Jumps shorter than this many seconds are decoded through: a seek and the second decoded
// before its target cost about as much.
constexpr int64_t kSeekSeconds = 20;

[[noreturn]] void FailInput(const std::string& name, const std::string& problem) {
  throw HostError(ExitStatus::kInput, name + ": " + problem);
}

std::string ErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// The libraries' own warnings (a damaged MP3 frame, a guessed length) would reach the terminal
// between progress lines; what matters to the user is reported by corvex itself.
void SilenceLibraryMessages() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

// A header may claim a tag or a block of any size, and the demuxers allocate what it claims
// before reading it: the LIST chunk of a 4 KB WAV asked for 1.2 GB at once. No single
// allocation of the libraries may exceed the file's own size by more than room for the
// decoders' frames and a cover picture, so memory is bounded by what the file holds. (The
// limit is the libraries' one global setting; corvex reads one song at a time.)
void LimitAllocationsTo(uint64_t fileBytes) {
  constexpr uint64_t kRoom = uint64_t{64} << 20;
  constexpr uint64_t kLibraryMost = std::numeric_limits<int>::max();  // the libraries' own limit
  av_max_alloc(static_cast<size_t>(fileBytes >= kLibraryMost - kRoom ? kLibraryMost : fileBytes + kRoom));
}

// The decoder cannot tell apart a file that is missing, a folder and one without permission,
// so the cause the user can act on is found out first.
void CheckReadable(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    FailInput(path, errno == ENOENT ? "no such file"
                                    : std::string("cannot read: ") + std::strerror(errno));
  }
  if (S_ISDIR(status.st_mode)) FailInput(path, "cannot read: it is a folder, not a file");
  // A pipe would hold the run until something writes to it, and is read once where a song is
  // looked into before it is decoded; a device has no end.
  if (!S_ISREG(status.st_mode)) {
    FailInput(path, "cannot read: it is not a regular file (a pipe or a device); corvex plays "
                    "songs from files");
  }
  FILE* probe = std::fopen(path.c_str(), "rb");
  if (probe == nullptr) FailInput(path, std::string("cannot read: ") + std::strerror(errno));
  std::fclose(probe);
}

// Bytes in memory read through the demuxer's I/O callbacks.
struct MemoryInput {
  const uint8_t* bytes;
  int64_t size;
  int64_t at = 0;

  static int Read(void* opaque, uint8_t* buffer, int wanted) {
    auto* input = static_cast<MemoryInput*>(opaque);
    const int64_t count = std::min<int64_t>(wanted, input->size - input->at);
    if (count <= 0) return AVERROR_EOF;
    std::memcpy(buffer, input->bytes + input->at, static_cast<size_t>(count));
    input->at += count;
    return static_cast<int>(count);
  }
  static int64_t Seek(void* opaque, int64_t offset, int whence) {
    auto* input = static_cast<MemoryInput*>(opaque);
    if (whence & AVSEEK_SIZE) return input->size;
    whence &= ~AVSEEK_FORCE;
    const int64_t base = whence == SEEK_CUR ? input->at : whence == SEEK_END ? input->size : 0;
    if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return -1;
    if (offset > input->size - base || offset < -base) return -1;
    input->at = base + offset;
    return input->at;
  }
};

// The demuxers of playlists and reference files (HLS, DASH, concat lists, ...) open the files
// and URLs they name through this callback: a song is the one file given, so only that file
// is opened, once, and from memory nothing at all.
int OpenOnlyTheSong(AVFormatContext* format, AVIOContext** io, const char* url, int flags,
                    AVDictionary** options) {
  auto* song = static_cast<std::string*>(format->opaque);
  if (song == nullptr || song->empty() || *song != url) return AVERROR(EPERM);
  song->clear();  // opened once
  return avio_open2(io, url, flags, &format->interrupt_callback, options);
}

}  // namespace

struct AudioStream::Decoder {
  std::string name;
  MemoryInput memory{nullptr, 0};
  AVIOContext* io = nullptr;
  AVFormatContext* format = nullptr;
  std::string unopened;  // the path OpenOnlyTheSong may still open
  AVCodecContext* codec = nullptr;
  SwrContext* mixer = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  int streamIndex = -1;
  int32_t rate = 0;

  // What the mixer was set up for: a frame unlike it (a stream that changes its layout or
  // rate on the way) gets a new mixer with the same output.
  AVChannelLayout mixerLayout{};
  int mixerFormat = -1;
  int mixerRate = 0;

  std::vector<int16_t> pending;  // the decoded frame being handed out, as stereo
  size_t pendingAt = 0;
  int64_t position = 0;          // the song's frame that pending[pendingAt] is
  int64_t pendingTime = AV_NOPTS_VALUE;  // the time stamp of pending's first frame
  bool draining = false;
  bool ended = false;

  ~Decoder() {
    av_channel_layout_uninit(&mixerLayout);
    swr_free(&mixer);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
    if (io != nullptr) av_freep(&io->buffer);
    avio_context_free(&io);
  }

  void Open(const AudioSource& source);
  bool Refill();
  void Convert(const AVFrame& decoded);
  bool ConfigureMixer(const AVFrame& decoded);
  void FlushMixer();
  bool SeekNear(int64_t target);
};

void AudioStream::Decoder::Open(const AudioSource& source) {
  SilenceLibraryMessages();
  name = source.name;
  format = avformat_alloc_context();
  packet = av_packet_alloc();
  frame = av_frame_alloc();
  if (format == nullptr || packet == nullptr || frame == nullptr) throw std::bad_alloc();
  if (source.InMemory()) {
    memory = MemoryInput{source.bytes, static_cast<int64_t>(source.size)};
    constexpr int kBufferSize = 1 << 16;
    auto* buffer = static_cast<uint8_t*>(av_malloc(kBufferSize));
    io = buffer == nullptr ? nullptr
                           : avio_alloc_context(buffer, kBufferSize, 0, &memory, &MemoryInput::Read,
                                                nullptr, &MemoryInput::Seek);
    if (io == nullptr) {
      av_free(buffer);
      throw std::bad_alloc();
    }
    format->pb = io;
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    LimitAllocationsTo(source.size);
  } else {
    CheckReadable(name);
    unopened = name;
    std::error_code unknown;
    const uintmax_t bytes = std::filesystem::file_size(name, unknown);
    LimitAllocationsTo(unknown ? std::numeric_limits<uint64_t>::max() : bytes);
  }
  format->opaque = &unopened;
  format->io_open = &OpenOnlyTheSong;
  // On failure avformat_open_input frees the context and nulls the pointer.
  const int opened = avformat_open_input(&format, name.c_str(), nullptr, nullptr);
  if (opened < 0) FailInput(name, "not an audio file that can be read (" + ErrorText(opened) + ")");
  if (avformat_find_stream_info(format, nullptr) < 0) {
    FailInput(name, "not an audio file that can be read (no stream could be read)");
  }
  const AVCodec* decoder = nullptr;
  streamIndex = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
  if (streamIndex == AVERROR_STREAM_NOT_FOUND) FailInput(name, "contains no audio");
  if (streamIndex < 0 || decoder == nullptr) {
    const AVStream* any = format->nb_streams > 0 ? format->streams[0] : nullptr;
    const char* codecName = any != nullptr ? avcodec_get_name(any->codecpar->codec_id) : "unknown";
    FailInput(name, std::string("its sound is in a format this build cannot decode (") +
                        codecName + ")");
  }
  // Only the sound is read: the pictures of a video file are skipped unread.
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    if (static_cast<int>(i) != streamIndex) format->streams[i]->discard = AVDISCARD_ALL;
  }
  const AVCodecParameters* parameters = format->streams[streamIndex]->codecpar;
  rate = parameters->sample_rate;
  if (rate < kMinRate || rate > kMaxRate) {
    FailInput(name, "unsupported sample rate " + std::to_string(rate) + " Hz");
  }
  codec = avcodec_alloc_context3(decoder);
  if (codec == nullptr) throw std::bad_alloc();
  if (avcodec_parameters_to_context(codec, parameters) < 0 || avcodec_open2(codec, decoder, nullptr) < 0) {
    FailInput(name, std::string("its sound cannot be decoded (") + decoder->name + ")");
  }
}

bool AudioStream::Decoder::ConfigureMixer(const AVFrame& decoded) {
  AVChannelLayout in{};
  const int channels = decoded.ch_layout.nb_channels;
  if (channels <= 0 || channels > kMaxChannels) return false;
  // A layout without positions (or with ones the mixer does not know) is taken as the usual
  // layout of that many channels.
  if (decoded.ch_layout.order == AV_CHANNEL_ORDER_NATIVE) {
    if (av_channel_layout_copy(&in, &decoded.ch_layout) < 0) return false;
  } else {
    av_channel_layout_default(&in, channels);
  }
  AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
  swr_free(&mixer);
  bool ready = swr_alloc_set_opts2(&mixer, &stereo, AV_SAMPLE_FMT_S16, rate, &in,
                                   static_cast<AVSampleFormat>(decoded.format), decoded.sample_rate,
                                   0, nullptr) >= 0;
  // Players play a mono song at full level on both sides, not 3 dB down as a centre speaker.
  const double bothSides[2] = {1.0, 1.0};
  if (ready && channels == 1) ready = swr_set_matrix(mixer, bothSides, 1) >= 0;
  ready = ready && swr_init(mixer) >= 0;
  av_channel_layout_uninit(&mixerLayout);
  if (ready) {
    mixerLayout = in;
    mixerFormat = decoded.format;
    mixerRate = decoded.sample_rate;
  } else {
    av_channel_layout_uninit(&in);
    swr_free(&mixer);
    mixerFormat = -1;
  }
  return ready;
}

void AudioStream::Decoder::Convert(const AVFrame& decoded) {
  const bool fits = mixer != nullptr && decoded.format == mixerFormat &&
                    decoded.sample_rate == mixerRate &&
                    decoded.ch_layout.nb_channels == mixerLayout.nb_channels &&
                    (decoded.ch_layout.order != AV_CHANNEL_ORDER_NATIVE ||
                     av_channel_layout_compare(&decoded.ch_layout, &mixerLayout) == 0);
  if (!fits && !ConfigureMixer(decoded)) return;  // a frame that cannot be mixed is skipped
  if (pending.empty()) pendingTime = decoded.best_effort_timestamp;
  const int room = swr_get_out_samples(mixer, decoded.nb_samples);
  if (room <= 0) return;
  const size_t base = pending.size();
  pending.resize(base + static_cast<size_t>(room) * 2);
  auto* out = reinterpret_cast<uint8_t*>(pending.data() + base);
  const int made = swr_convert(mixer, &out, room, const_cast<const uint8_t**>(decoded.extended_data),
                               decoded.nb_samples);
  pending.resize(base + static_cast<size_t>(std::max(made, 0)) * 2);
}

void AudioStream::Decoder::FlushMixer() {
  if (mixer == nullptr) return;
  const int room = swr_get_out_samples(mixer, 0);
  if (room <= 0) return;
  const size_t base = pending.size();
  pending.resize(base + static_cast<size_t>(room) * 2);
  auto* out = reinterpret_cast<uint8_t*>(pending.data() + base);
  const int made = swr_convert(mixer, &out, room, nullptr, 0);
  pending.resize(base + static_cast<size_t>(std::max(made, 0)) * 2);
}

bool AudioStream::Decoder::Refill() {
  pending.clear();
  pendingAt = 0;
  pendingTime = AV_NOPTS_VALUE;
  int errorsInARow = 0;
  while (!ended) {
    const int received = avcodec_receive_frame(codec, frame);
    if (received == 0) {
      errorsInARow = 0;
      Convert(*frame);
      av_frame_unref(frame);
      if (!pending.empty()) return true;
      continue;
    }
    // A frame that failed to decode is passed over: the next packet may be fine.
    const bool failed = received != AVERROR(EAGAIN) && received != AVERROR_EOF;
    if (received == AVERROR_EOF || draining || (failed && ++errorsInARow >= kMaxErrorsInARow)) {
      ended = true;
      FlushMixer();
      return !pending.empty();
    }
    const int read = av_read_frame(format, packet);
    if (read < 0) {
      // The end of the file, or of what could be read of it: drain what the decoder holds.
      draining = true;
      avcodec_send_packet(codec, nullptr);
      continue;
    }
    // A damaged packet is refused by the decoder and skipped; the next one decodes afresh.
    if (packet->stream_index == streamIndex) avcodec_send_packet(codec, packet);
    av_packet_unref(packet);
  }
  return false;
}

// Seeks to a second before the target and learns from the first decoded frame's time stamp
// where it landed. False when the stream cannot tell, or landed past the target.
bool AudioStream::Decoder::SeekNear(int64_t target) {
  const AVStream* stream = format->streams[streamIndex];
  const int64_t origin = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
  const AVRational frameTime{1, rate};
  const int64_t aim = origin + av_rescale_q(std::max<int64_t>(0, target - rate), frameTime, stream->time_base);
  if (avformat_seek_file(format, streamIndex, std::numeric_limits<int64_t>::min(), aim, aim, 0) < 0) return false;
  avcodec_flush_buffers(codec);
  swr_free(&mixer);  // its delay line holds sound from before the jump
  mixerFormat = -1;
  draining = ended = false;
  if (!Refill() || pendingTime == AV_NOPTS_VALUE) return false;
  position = av_rescale_q(pendingTime - origin, stream->time_base, frameTime);
  return position >= 0 && position <= target;
}

AudioStream::AudioStream(const AudioSource& source)
    : source_(source), decoder_(std::make_unique<Decoder>()) {
  decoder_->Open(source_);
}

void AudioStream::Restart() {
  decoder_.reset();
  decoder_ = std::make_unique<Decoder>();
  decoder_->Open(source_);
}

int64_t AudioStream::position() const { return decoder_->position; }

int64_t AudioStream::SkipTo(int64_t frame) {
  if (frame < decoder_->position) Restart();
  if (frame - decoder_->position > kSeekSeconds * decoder_->rate && !decoder_->SeekNear(frame)) {
    Restart();
  }
  Skip(frame - decoder_->position);
  return decoder_->position;
}

AudioStream::~AudioStream() = default;

int32_t AudioStream::sampleRate() const { return decoder_->rate; }

std::string AudioStream::TaggedTitle() const {
  const AVFormatContext* format = decoder_->format;
  const AVStream* stream = format->streams[decoder_->streamIndex];
  // Tags live on the file in most containers and on the sound track in some (Ogg).
  auto tag = [&](const char* key) -> std::string {
    const AVDictionaryEntry* entry = av_dict_get(format->metadata, key, nullptr, 0);
    if (entry == nullptr) entry = av_dict_get(stream->metadata, key, nullptr, 0);
    return entry != nullptr && entry->value != nullptr ? entry->value : "";
  };
  const std::string title = tag("title");
  const std::string artist = tag("artist");
  if (title.empty()) return "";
  return artist.empty() ? title : artist + " - " + title;
}

int64_t AudioStream::Read(int16_t* stereo, int64_t frames) {
  Decoder& d = *decoder_;
  int64_t done = 0;
  while (done < frames) {
    if (d.pendingAt == d.pending.size()) {
      if (!d.Refill()) break;
      continue;
    }
    const int64_t count = std::min<int64_t>(frames - done, static_cast<int64_t>(d.pending.size() - d.pendingAt) / 2);
    if (stereo != nullptr) {
      std::memcpy(stereo + done * 2, d.pending.data() + d.pendingAt, static_cast<size_t>(count) * 4);
    }
    d.pendingAt += static_cast<size_t>(count) * 2;
    done += count;
  }
  d.position += done;
  return done;
}

int64_t AudioStream::Skip(int64_t frames) { return Read(nullptr, frames); }

int64_t AudioStream::CountRemainingFrames() {
  Decoder& d = *decoder_;
  const AVStream* stream = d.format->streams[d.streamIndex];
  int64_t ticks = 0;
  bool everyPacketTimed = true;
  while (av_read_frame(d.format, d.packet) >= 0) {
    if (d.packet->stream_index == d.streamIndex) {
      if (d.packet->duration > 0 && ticks <= std::numeric_limits<int64_t>::max() - d.packet->duration) {
        ticks += d.packet->duration;
      } else {
        everyPacketTimed = false;
      }
    }
    av_packet_unref(d.packet);
  }
  d.ended = true;
  d.pending.clear();
  d.pendingAt = 0;
  if (!everyPacketTimed) return -1;
  return av_rescale_q(ticks, stream->time_base, AVRational{1, d.rate});
}

AudioFileInfo ProbeAudioFile(const std::string& path) {
  const AudioSource source = AudioSource::File(path);
  AudioStream stream(source);
  AudioFileInfo info{path, stream.TaggedTitle(), stream.sampleRate(), stream.CountRemainingFrames()};
  if (info.title.empty()) info.title = std::filesystem::path(path).stem().string();
  if (info.frameCount < 0) {
    // Some packets do not know their length: the sound is decoded to count it.
    AudioStream counting(source);
    info.frameCount = counting.Skip(std::numeric_limits<int64_t>::max());
  }
  if (info.frameCount <= 0) FailInput(path, "contains no audio");
  return info;
}

int32_t DecodeAudioBlocks(const AudioSource& source,
                          const std::function<void(const int16_t* stereo, int64_t frames)>& block) {
  AudioStream stream(source);
  constexpr int64_t kBlockFrames = 4096;
  std::vector<int16_t> samples(kBlockFrames * 2);
  for (;;) {
    const int64_t got = stream.Read(samples.data(), kBlockFrames);
    if (got == 0) break;
    block(samples.data(), got);
  }
  return stream.sampleRate();
}

}  // namespace corvex::host
