// The game's sound effects (SE/*.wav, 16-bit mono 44100 Hz) and the entry
// point that also writes the music (sounds_music.cpp).
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "assets.h"
#include "synth.h"
#include "synth_music.h"

namespace {
constexpr double PI = 3.14159265358979323846;

// Renders `seconds` of a mono effect, sample by sample, with a short fade
// at both ends so it never starts or stops with a click.
MixBuffer effect(double seconds, const std::function<float(double)>& sample) {
  size_t n = (size_t)(seconds * SYNTH_RATE);
  MixBuffer out(n);
  for (size_t i = 0; i < n; i++) {
    double t = (double)i / SYNTH_RATE;
    double edge = std::min({1.0, t / 0.002, (seconds - t) / 0.01});
    out.left[i] = out.right[i] = sample(t) * (float)edge;
  }
  normalize(out, 0.7f);
  return out;
}

// Menu cursor up: a quick rising blip.
MixBuffer cursorUp() {
  Oscillator osc;
  OnePole lp;
  return effect(0.09, [&](double t) {
    double f = 880 + 500 * (t / 0.09);
    return lp.lowPass(osc.pulse(f, 0.5), 5000) * (float)std::exp(-t * 25);
  });
}

// Menu cursor down: the same blip falling, a fourth lower.
MixBuffer cursorDown() {
  Oscillator osc;
  OnePole lp;
  return effect(0.09, [&](double t) {
    double f = 700 - 240 * (t / 0.09);
    return lp.lowPass(osc.pulse(f, 0.5), 5000) * (float)std::exp(-t * 25);
  });
}

// Start: a bright major arpeggio C6 E6 G6 C7 ringing out.
MixBuffer startChime() {
  MixBuffer out(0.7 * SYNTH_RATE);
  const int notes[4] = {84, 88, 91, 96};
  for (int i = 0; i < 4; i++)
    renderNote(out, INSTR_PLUCK, (int64_t)(i * 0.055 * SYNTH_RATE), 0.25, notes[i], 1.0f, 0);
  for (int i = 0; i < 4; i++)
    renderNote(out, INSTR_BELL, (int64_t)(i * 0.055 * SYNTH_RATE), 0.1, notes[i] + 12, 0.5f, 0);
  for (size_t i = 0; i < out.frames(); i++) {
    double t = (double)i / SYNTH_RATE;
    float edge = (float)std::min(1.0, (0.7 - t) / 0.05);
    out.left[i] = (out.left[i] + out.right[i]) * 0.5f * edge;
  }
  out.right = out.left;
  normalize(out, 0.7f);
  return out;
}

// Explosion: a falling sub boom under noise whose brightness dies away.
MixBuffer explosion() {
  Oscillator boom;
  OnePole lp1, lp2;
  Noise noise;
  return effect(1.3, [&](double t) {
    float body = boom.sine(30 + 60 * std::exp(-t * 8)) * (float)std::exp(-t * 3.5);
    float cutoff = (float)(200 + 5000 * std::exp(-t * 6));
    float rumble = lp2.lowPass(lp1.lowPass(noise.next(), cutoff), cutoff) * 2.2f;
    float crackle = t < 0.25 ? noise.next() * (float)std::exp(-t * 25) * 0.4f : 0.0f;
    float attack = (float)std::min(1.0, t / 0.004);
    return attack * (0.9f * body + rumble * (float)std::exp(-t * 2.6) + crackle);
  });
}

// Switch: a mechanical click, then a two-note confirm.
MixBuffer switchClick() {
  Oscillator a, b;
  Noise noise;
  OnePole hp;
  return effect(0.3, [&](double t) {
    float click = t < 0.012 ? hp.highPass(noise.next(), 2000) * (float)(1 - t / 0.012) : 0.0f;
    float tone = 0;
    if (t > 0.02 && t < 0.09) tone = a.pulse(1046.5, 0.3) * (float)std::min(1.0, (0.09 - t) / 0.01);
    if (t >= 0.09) tone = b.pulse(1568.0, 0.3) * (float)std::exp(-(t - 0.09) * 14);
    if (t > 0.02 && t < 0.025) tone *= (float)((t - 0.02) / 0.005);
    if (t >= 0.09 && t < 0.095) tone *= (float)((t - 0.09) / 0.005);
    return click * 0.8f + tone * 0.35f;
  });
}

// Treasure: a sparkling rising G major arpeggio with a shimmer on top.
MixBuffer treasure() {
  MixBuffer out(1.1 * SYNTH_RATE);
  const int notes[6] = {79, 83, 86, 91, 95, 98};
  for (int i = 0; i < 6; i++) {
    int64_t at = (int64_t)(i * 0.06 * SYNTH_RATE);
    renderNote(out, INSTR_BELL, at, 0.2, notes[i], 0.9f, 0);
    renderNote(out, INSTR_PLUCK, at, 0.05, notes[i], 0.3f, 0);
  }
  renderNote(out, INSTR_BELL, (int64_t)(0.36 * SYNTH_RATE), 0.4, 103, 0.5f, 0);
  for (size_t i = 0; i < out.frames(); i++) {
    double t = (double)i / SYNTH_RATE;
    float edge = (float)std::min(1.0, (1.1 - t) / 0.05);
    out.left[i] = (out.left[i] + out.right[i]) * 0.5f * edge;
  }
  out.right = out.left;
  normalize(out, 0.7f);
  return out;
}

// Warp: a rising, wobbling sweep that thins out into a shimmer.
MixBuffer warp() {
  Oscillator carrier, modulator;
  OnePole lp;
  return effect(0.8, [&](double t) {
    double rise = 220 * std::pow(10.0, t / 0.8);  // 220 Hz up to 2.2 kHz
    double wobble = 1 + 0.25 * modulator.sine(18);
    float v = lp.lowPass(carrier.triangle(rise * wobble), 6000);
    float env = (float)(std::min(1.0, t / 0.05) * (1 - 0.6 * t / 0.8));
    return v * env * (float)(0.75 + 0.25 * std::sin(2 * PI * 9 * t));
  });
}

// Barrel fuse: a hissing, crackling sizzle.
MixBuffer fuse() {
  Noise noise, pops;
  OnePole hp, lp, popFilter;
  float popLevel = 0;
  return effect(1.5, [&](double t) {
    float hiss = lp.lowPass(hp.highPass(noise.next(), 2500), 9000);
    float flutter = (float)(0.7 + 0.3 * std::sin(2 * PI * 13 * t) * std::sin(2 * PI * 3.1 * t));
    // Now and then a pop: a short burst of brighter noise.
    if (pops.next() > 0.9994f) popLevel = 1.0f;
    popLevel *= 0.9985f;
    float pop = popFilter.highPass(noise.next(), 1200) * popLevel;
    float env = (float)(std::min(1.0, t / 0.06) * std::min(1.0, (1.5 - t) / 0.3));
    return (0.5f * hiss * flutter + 0.8f * pop) * env;
  });
}

bool writeEffect(const std::string& dir, const char* name, const MixBuffer& mix) {
  return writeWave(dir + "/" + name, mix, 1);
}

}  // namespace

bool generateSounds(const std::string& outDir, const std::string& lame) {
  std::string se = outDir + "/SE", bgm = outDir + "/bgm";
  mkdir(outDir.c_str(), 0755);
  mkdir(se.c_str(), 0755);
  mkdir(bgm.c_str(), 0755);
  bool ok =
      writeEffect(se, "cursor1.wav", cursorUp()) && writeEffect(se, "cursor2.wav", cursorDown()) &&
      writeEffect(se, "start.wav", startChime()) && writeEffect(se, "Tbomb.wav", explosion()) &&
      writeEffect(se, "Switch.wav", switchClick()) && writeEffect(se, "tresure.wav", treasure()) &&
      writeEffect(se, "warp.wav", warp()) && writeEffect(se, "TaruBomb.wav", fuse());
  if (!ok) {
    std::fprintf(stderr, "puxten-assets: cannot write the sound effects under %s\n", se.c_str());
    return false;
  }
  return generateMusic(bgm, lame);
}
