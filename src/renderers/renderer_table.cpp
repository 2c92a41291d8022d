#include "renderers/renderer_table.h"

namespace corvex {

const RendererSlot kRendererSlots[kRendererCount] = {
    {"Plain-Vanilla Waveforms", [](SceneManager& s) { s.PlainVanillaWaveforms(); }},
    {"Wavy Circle", [](SceneManager& s) { s.WavyCircle(); }},
    {"Moving Volume Cicle", [](SceneManager& s) { s.MovingVolumeCircle(); }},
    {"Shivering Lines", [](SceneManager& s) { s.ShiveringLines(); }},
    {"Spectral Spheres", [](SceneManager& s) { s.SpectralSpheres(); }},
    {"Hypnotizer", [](SceneManager& s) { s.Hypnotizer(); }},
    {"Volume Lines", [](SceneManager& s) { s.VolumeLines(); }},
    {"Sparkles", [](SceneManager& s) { s.Sparkles(); }},
    {"Paint Drops", [](SceneManager& s) { s.PaintDrops(); }},
    {"Orbiting Particles - Beat", [](SceneManager& s) { s.OrbitingParticlesBeat(); }},
    {"Orbiting Particles - Volume", [](SceneManager& s) { s.OrbitingParticlesVolume(); }},
    {"Snow", [](SceneManager& s) { s.Snow(); }},
    {"Spectrum Splash", [](SceneManager& s) { s.SpectrumSplash(); }},
    {"Floating Triangle", [](SceneManager& s) { s.FloatingTriangle(); }},
};

}  // namespace corvex
