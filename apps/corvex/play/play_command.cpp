#include "play/play_command.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "host_error.h"
#include "play/play_session.h"
#include "playlist.h"
#include "render_command.h"
#include "work_folder.h"

namespace corvex::host {

namespace {

constexpr const char* kSettingsName = "vis_corvex.ini";
constexpr int32_t kMaxLatencyMs = 5000;

[[noreturn]] void Usage(const std::string& message) {
  throw HostError(ExitStatus::kUsage, message);
}

std::string ProgramFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : program.parent_path().string();
}

// Where the plug-in finds its settings: the folder of vis_corvex.ini. A settings file of
// another name is played from a copy in a private folder and copied back afterwards, since
// the plug-in only knows its own file name.
class SettingsPlace {
 public:
  explicit SettingsPlace(const std::string& file) : file_(file) {
    if (file.empty()) {
      folder_ = ProgramFolder();
      return;
    }
    // A file that is not there yet is made when the plug-in saves, from the settings it
    // started with; the folder it goes into must be there.
    std::error_code error;
    const std::filesystem::path path(file);
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    const bool there = std::filesystem::exists(status);
    if (there && !std::filesystem::is_regular_file(status)) {
      throw HostError(ExitStatus::kInput, file + ": not a settings file: it is not a regular file");
    }
    const std::string parent = path.parent_path().empty() ? "." : path.parent_path().string();
    if (!there && !std::filesystem::is_directory(parent, error)) {
      throw HostError(ExitStatus::kInput, file + ": no such folder for the settings file");
    }
    if (path.filename() == kSettingsName) {
      folder_ = parent;
      return;
    }
    work_ = std::make_unique<WorkFolder>();
    folder_ = work_->path();
    if (there) std::filesystem::copy_file(file, work_->File(kSettingsName), error);
    if (error) throw HostError(ExitStatus::kInput, file + ": cannot read the settings file");
  }

  const std::string& folder() const { return folder_; }

  // The plug-in saved its settings: a copy goes back to the file it came from.
  void Return() const {
    if (!work_) return;
    std::error_code error;
    if (!std::filesystem::exists(work_->File(kSettingsName), error)) return;  // nothing saved
    std::filesystem::copy_file(work_->File(kSettingsName), file_,
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) throw HostError(ExitStatus::kOutput, file_ + ": cannot write the settings back");
  }

 private:
  std::string file_;
  std::string folder_;
  std::unique_ptr<WorkFolder> work_;
};

}  // namespace

void RunPlay(const PlayOptions& options, FILE* messages) {
  if (options.capture && !options.inputs.empty()) {
    Usage("--capture records the computer's sound; it takes no files");
  }
  if (options.latencyMs && (*options.latencyMs < 0 || *options.latencyMs > kMaxLatencyMs)) {
    Usage("--latency must be from 0 to " + std::to_string(kMaxLatencyMs) + " ms");
  }
  if (options.refreshHz && !(*options.refreshHz >= 0.0 && *options.refreshHz <= 1000.0)) {
    Usage("--refresh must be from 0 (unpaced) to 1000");
  }
  if (options.frames && *options.frames < 1) Usage("--frames must be 1 or more");

  PlayConfig config;
  if (!options.size.empty()) {
    const FrameSize size = ParseFrameSize(options.size);
    config.width = size.width;
    config.height = size.height;
  }
  config.fullScreen = options.fullScreen;
  config.capture = options.capture;
  config.latencyMs = options.latencyMs;
  config.refreshHz = options.refreshHz;
  config.maxFrames = options.frames.value_or(0);
  config.seed = options.seed;
  config.showInfo = options.info;
  config.notes = messages;

  // The files are checked before anything opens; the session opens the playlist a second time.
  const auto open = [&options] {
    return options.inputs.empty() ? Playlist::Demo() : Playlist::FromFiles(options.inputs);
  };
  std::optional<Playlist> checked;
  if (!options.capture) checked.emplace(open());
  const SettingsPlace settings(options.settingsFile);
  config.pluginFolder = settings.folder();

  PlaySession session(
      [&checked, &open] {
        if (!checked) return open();
        Playlist first = std::move(*checked);
        checked.reset();
        return first;
      },
      config);
  const PlayResult result = session.Run();
  settings.Return();
  if (messages != nullptr) {
    for (const std::string& message : result.messages) {
      std::fprintf(messages, "corvex: the plug-in said: %s\n", message.c_str());
    }
    const double fps = result.seconds > 0.0 ? static_cast<double>(result.frames) / result.seconds : 0.0;
    std::fprintf(messages, "corvex: %lld frames in %.1f s (%.1f fps)\n",
                 static_cast<long long>(result.frames), result.seconds, fps);
  }
}

}  // namespace corvex::host
