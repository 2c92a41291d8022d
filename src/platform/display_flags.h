#pragma once
#include <cstdint>

// DirectDraw's flags with the values its headers give them. (A Windows build keeps these apart
// from the system headers, which define the same names as macros.)
namespace corvex::platform {

// Which fields of a SurfaceDescription are valid.
inline constexpr uint32_t DDSD_CAPS = 0x00000001;
inline constexpr uint32_t DDSD_HEIGHT = 0x00000002;
inline constexpr uint32_t DDSD_WIDTH = 0x00000004;
inline constexpr uint32_t DDSD_PITCH = 0x00000008;
inline constexpr uint32_t DDSD_LPSURFACE = 0x00000800;
inline constexpr uint32_t DDSD_PIXELFORMAT = 0x00001000;

// Surface capabilities.
inline constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x00000040;
inline constexpr uint32_t DDSCAPS_OVERLAY = 0x00000080;
inline constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x00000200;
inline constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x00000800;
inline constexpr uint32_t DDSCAPS_VIDEOMEMORY = 0x00004000;
inline constexpr uint32_t DDSCAPS_LOCALVIDMEM = 0x10000000;

// Pixel formats.
inline constexpr uint32_t DDPF_FOURCC = 0x00000004;
inline constexpr uint32_t DDPF_PALETTEINDEXED8 = 0x00000020;
inline constexpr uint32_t DDPF_RGB = 0x00000040;
inline constexpr uint32_t MakeFourCC(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
         static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}
inline constexpr uint32_t FOURCC_UYVY = MakeFourCC('U', 'Y', 'V', 'Y');
inline constexpr uint32_t FOURCC_YUY2 = MakeFourCC('Y', 'U', 'Y', '2');

// Cooperative levels.
inline constexpr uint32_t DDSCL_FULLSCREEN = 0x00000001;
inline constexpr uint32_t DDSCL_NORMAL = 0x00000008;
inline constexpr uint32_t DDSCL_EXCLUSIVE = 0x00000010;

// Driver capabilities, locks, colour keys and overlays.
inline constexpr uint32_t DDCAPS_OVERLAY = 0x00000800;
inline constexpr uint32_t DDLOCK_WAIT = 0x00000001;
inline constexpr uint32_t DDLOCK_WRITEONLY = 0x00000020;
inline constexpr uint32_t DDCKEY_DESTOVERLAY = 0x00000004;
inline constexpr uint32_t DDOVER_HIDE = 0x00000200;
inline constexpr uint32_t DDOVER_KEYDEST = 0x00000400;
inline constexpr uint32_t DDOVER_SHOW = 0x00004000;

// Record sizes the calls check.
inline constexpr uint32_t kSurfaceDescriptionSize = 124;
inline constexpr uint32_t kPixelFormatSize = 32;
inline constexpr uint32_t kDisplayCapsSize = 380;

}  // namespace corvex::platform
