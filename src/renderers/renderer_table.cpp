#include "renderers/renderer_table.h"

namespace corvex {

const RendererSlot kRendererSlots[kRendererCount] = {
    {"Plain-Vanilla Waveforms", [](RendererFrame& s) { s.PlainVanillaWaveforms(); }},
    {"Wavy Circle", [](RendererFrame& s) { s.WavyCircle(); }},
    {"Moving Volume Cicle", [](RendererFrame& s) { s.MovingVolumeCircle(); }},
    {"Shivering Lines", [](RendererFrame& s) { s.ShiveringLines(); }},
    {"Spectral Spheres", [](RendererFrame& s) { s.SpectralSpheres(); }},
    {"Hypnotizer", [](RendererFrame& s) { s.Hypnotizer(); }},
    {"Volume Lines", [](RendererFrame& s) { s.VolumeLines(); }},
    {"Sparkles", [](RendererFrame& s) { s.Sparkles(); }},
    {"Paint Drops", [](RendererFrame& s) { s.PaintDrops(); }},
    {"Orbiting Particles - Beat", [](RendererFrame& s) { s.OrbitingParticlesBeat(); }},
    {"Orbiting Particles - Volume", [](RendererFrame& s) { s.OrbitingParticlesVolume(); }},
    {"Snow", [](RendererFrame& s) { s.Snow(); }},
    {"Spectrum Splash", [](RendererFrame& s) { s.SpectrumSplash(); }},
    {"Floating Triangle", [](RendererFrame& s) { s.FloatingTriangle(); }},
};

}  // namespace corvex
