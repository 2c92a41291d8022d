#pragma once
#include <cstdint>

// DirectDraw's flags with the values its headers give them, each family in a namespace named
// after the system's prefix (ddsd::Width is DDSD_WIDTH), so they live beside <ddraw.h>, whose
// names are macros.
namespace corvex::platform {

// Which fields of a SurfaceDescription are valid.
namespace ddsd {
inline constexpr uint32_t Caps = 0x00000001;
inline constexpr uint32_t Height = 0x00000002;
inline constexpr uint32_t Width = 0x00000004;
inline constexpr uint32_t Pitch = 0x00000008;
inline constexpr uint32_t LpSurface = 0x00000800;
inline constexpr uint32_t PixelFormat = 0x00001000;
}  // namespace ddsd

// Surface capabilities.
namespace ddscaps {
inline constexpr uint32_t OffscreenPlain = 0x00000040;
inline constexpr uint32_t Overlay = 0x00000080;
inline constexpr uint32_t PrimarySurface = 0x00000200;
inline constexpr uint32_t SystemMemory = 0x00000800;
inline constexpr uint32_t VideoMemory = 0x00004000;
inline constexpr uint32_t LocalVidMem = 0x10000000;
}  // namespace ddscaps

// Pixel formats.
namespace ddpf {
inline constexpr uint32_t FourCC = 0x00000004;
inline constexpr uint32_t PaletteIndexed8 = 0x00000020;
inline constexpr uint32_t Rgb = 0x00000040;
}  // namespace ddpf

inline constexpr uint32_t MakeFourCC(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
         static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}
namespace fourcc {
inline constexpr uint32_t Uyvy = MakeFourCC('U', 'Y', 'V', 'Y');
inline constexpr uint32_t Yuy2 = MakeFourCC('Y', 'U', 'Y', '2');
}  // namespace fourcc

// Cooperative levels.
namespace ddscl {
inline constexpr uint32_t FullScreen = 0x00000001;
inline constexpr uint32_t Normal = 0x00000008;
inline constexpr uint32_t Exclusive = 0x00000010;
}  // namespace ddscl

// Driver capabilities, locks, colour keys and overlays.
namespace ddcaps {
inline constexpr uint32_t Overlay = 0x00000800;
}  // namespace ddcaps

namespace ddlock {
inline constexpr uint32_t Wait = 0x00000001;
inline constexpr uint32_t WriteOnly = 0x00000020;
}  // namespace ddlock

namespace ddckey {
inline constexpr uint32_t DestOverlay = 0x00000004;
}  // namespace ddckey

namespace ddover {
inline constexpr uint32_t Hide = 0x00000200;
inline constexpr uint32_t KeyDest = 0x00000400;
inline constexpr uint32_t Show = 0x00004000;
}  // namespace ddover

// Record sizes the calls check.
inline constexpr uint32_t kSurfaceDescriptionSize = 124;
inline constexpr uint32_t kPixelFormatSize = 32;

}  // namespace corvex::platform
