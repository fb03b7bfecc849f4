#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
constexpr double PI = 3.14159265358979323846;

double polyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

void advance(double& phase, double freq) {
  phase += freq / SYNTH_RATE;
  phase -= std::floor(phase);
}
}  // namespace

double midiFrequency(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

int parseNoteName(const char* text) {
  static const int SEMITONES[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (!text || text[0] < 'A' || text[0] > 'G') return -1;
  int note = SEMITONES[text[0] - 'A'];
  const char* p = text + 1;
  if (*p == '#')
    note++, p++;
  else if (*p == 'b')
    note--, p++;
  if (*p < '0' || *p > '9' || p[1]) return -1;
  return note + 12 * (*p - '0' + 1);
}

float Noise::next() {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return (float)((state >> 8) * (2.0 / 16777216.0) - 1.0);
}

float OnePole::lowPass(float x, float cutoffHz) {
  if (cutoffHz != cutoff) {
    cutoff = cutoffHz;
    coefficient = 1.0f - std::exp(-2.0f * (float)PI * cutoffHz / SYNTH_RATE);
  }
  z += coefficient * (x - z);
  return z;
}

float OnePole::highPass(float x, float cutoffHz) { return x - lowPass(x, cutoffHz); }

float Oscillator::saw(double freq) {
  double dt = freq / SYNTH_RATE;
  double v = 2.0 * phase - 1.0 - polyBlep(phase, dt);
  advance(phase, freq);
  return (float)v;
}

float Oscillator::pulse(double freq, double width) {
  double dt = freq / SYNTH_RATE;
  // Less the mean (2 width - 1), so narrow pulses carry no offset.
  double v = (phase < width ? 1.0 : -1.0) - (2.0 * width - 1.0);
  v += polyBlep(phase, dt);
  double shifted = phase + (1.0 - width);
  shifted -= std::floor(shifted);
  v -= polyBlep(shifted, dt);
  advance(phase, freq);
  return (float)v;
}

float Oscillator::triangle(double freq) {
  double v = phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase;
  advance(phase, freq);
  return (float)v;
}

float Oscillator::sine(double freq) {
  double v = std::sin(2.0 * PI * phase);
  advance(phase, freq);
  return (float)v;
}

float adsr(double t, double hold, double attack, double decay, double sustain, double release) {
  auto level = [&](double u) {
    if (u < attack) return u / attack;
    u -= attack;
    if (u < decay) return 1.0 - (1.0 - sustain) * (u / decay);
    return sustain;
  };
  if (t < 0) return 0;
  if (t < hold) return (float)level(t);
  double r = t - hold;
  if (r >= release) return 0;
  return (float)(level(hold) * (1.0 - r / release));
}

MixBuffer::MixBuffer(size_t frames, bool wrapAround)
    : left(frames, 0.0f), right(frames, 0.0f), wrap(wrapAround) {}

void MixBuffer::add(int64_t frame, float l, float r) {
  int64_t n = (int64_t)left.size();
  if (!n) return;
  if (wrap)
    frame = ((frame % n) + n) % n;
  else if (frame < 0 || frame >= n)
    return;
  left[frame] += l;
  right[frame] += r;
}

void MixBuffer::addMono(int64_t frame, float v, float pan) {
  // Constant-power pan.
  double angle = (pan + 1.0) * PI / 4.0;
  add(frame, v * (float)std::cos(angle), v * (float)std::sin(angle));
}

void MixBuffer::mixInto(MixBuffer& out, float gain) const {
  size_t n = std::min(frames(), out.frames());
  for (size_t i = 0; i < n; i++) {
    out.left[i] += left[i] * gain;
    out.right[i] += right[i] * gain;
  }
}

void renderNote(MixBuffer& out, Instrument instrument, int64_t start, double seconds, int midi,
                float velocity, float pan) {
  double freq = midiFrequency(midi);
  Oscillator a, b, c;
  b.phase = 0.33;
  c.phase = 0.71;
  OnePole filter, filter2;
  Noise noise;
  noise.state ^= (uint32_t)(start * 2654435761u) | 1u;
  double release = 0.08;
  switch (instrument) {
    case INSTR_PAD: release = 0.6; break;
    case INSTR_BELL: release = 0.5; break;
    case INSTR_BASS: release = 0.04; break;
    default: break;
  }
  double total = seconds + release;
  switch (instrument) {
    case INSTR_KICK: total = 0.45; break;
    case INSTR_SNARE: total = 0.3; break;
    case INSTR_HAT: total = 0.12; break;
    case INSTR_OPEN_HAT: total = 0.45; break;
    case INSTR_CRASH: total = 1.6; break;
    default: break;
  }
  bool drum = instrument >= INSTR_KICK;
  double angle = (pan + 1.0) * PI / 4.0;  // constant-power pan
  float gainL = velocity * (float)std::cos(angle), gainR = velocity * (float)std::sin(angle);
  int64_t count = (int64_t)(total * SYNTH_RATE);
  for (int64_t i = 0; i < count; i++) {
    double t = (double)i / SYNTH_RATE;
    float v = 0;
    switch (instrument) {
      case INSTR_LEAD: {
        double vib = t > 0.15
                         ? 1.0 + 0.004 * std::sin(2 * PI * 5.5 * t) * std::min(1.0, (t - 0.15) * 4)
                         : 1.0;
        float s = 0.6f * a.pulse(freq * vib, 0.25) + 0.4f * b.saw(freq * vib * 1.003);
        float cutoff = (float)(1800 + 3500 * std::exp(-t * 6));
        v = filter2.lowPass(filter.lowPass(s, cutoff), cutoff) *
            adsr(t, seconds, 0.006, 0.12, 0.7, release);
        break;
      }
      case INSTR_BELL:
        v = (a.sine(freq) + 0.3f * b.sine(freq * 2.0) * (float)std::exp(-t * 8)) *
            (float)std::exp(-t * 3.0) * adsr(t, seconds, 0.003, 0.0, 1.0, release);
        break;
      case INSTR_PLUCK: {
        float s = a.pulse(freq, 0.5);
        v = filter.lowPass(s, (float)(600 + 4000 * std::exp(-t * 18))) * (float)std::exp(-t * 7) *
            adsr(t, seconds, 0.003, 0.0, 1.0, 0.05);
        break;
      }
      case INSTR_PAD: {
        float s = (a.saw(freq * 0.997) + b.saw(freq * 1.003) + 0.6f * c.saw(freq * 0.5)) / 2.6f;
        v = filter2.lowPass(filter.lowPass(s, 1400), 1400) *
            adsr(t, seconds, 0.35, 0.3, 0.8, release);
        break;
      }
      case INSTR_BASS: {
        float s = 0.55f * a.saw(freq) + 0.6f * b.sine(freq);
        v = filter.lowPass(s, (float)(300 + 1400 * std::exp(-t * 14))) *
            adsr(t, seconds, 0.004, 0.1, 0.8, release);
        break;
      }
      case INSTR_KICK: {
        double f = 45 + 110 * std::exp(-t * 30);
        v = a.sine(f) * (float)std::exp(-t * 9) * std::min(1.0f, (float)(t * 1500)) +
            0.3f * filter.lowPass(noise.next(), 3000) * (float)std::exp(-t * 200);
        break;
      }
      case INSTR_SNARE: {
        float tone = a.sine(185 + 40 * std::exp(-t * 40)) * (float)std::exp(-t * 25);
        float hiss =
            filter2.highPass(filter.lowPass(noise.next(), 7000), 900) * (float)std::exp(-t * 16);
        v = (0.6f * tone + 0.9f * hiss) * std::min(1.0f, (float)(t * 2000));
        break;
      }
      case INSTR_HAT:
      case INSTR_OPEN_HAT: {
        double decay = instrument == INSTR_HAT ? 55 : 9;
        v = filter.highPass(noise.next(), 7000) * (float)std::exp(-t * decay) *
            std::min(1.0f, (float)(t * 4000));
        break;
      }
      case INSTR_CRASH:
        v = filter.highPass(noise.next(), 4500) * (float)std::exp(-t * 2.8) *
            std::min(1.0f, (float)(t * 3000));
        break;
    }
    // Drums are cut short: a quick fade keeps the cut silent.
    if (drum && t > total - 0.03) v *= (float)((total - t) / 0.03);
    out.add(start + i, v * gainL, v * gainR);
  }
}

void applyEcho(MixBuffer& bus, double delaySeconds, float feedback, float wet) {
  size_t n = bus.frames();
  size_t delay = (size_t)(delaySeconds * SYNTH_RATE);
  if (!n || !delay || delay >= n) return;
  std::vector<float> lineL(delay, 0.0f), lineR(delay, 0.0f);
  MixBuffer dry = bus;
  int passes = bus.wrap ? 2 : 1;
  size_t k = 0;
  for (int pass = 0; pass < passes; pass++) {
    for (size_t i = 0; i < n; i++) {
      // Ping-pong: each repeat crosses to the other side.
      float outL = lineR[k], outR = lineL[k];
      lineL[k] = dry.left[i] + outL * feedback;
      lineR[k] = dry.right[i] + outR * feedback;
      k = (k + 1) % delay;
      if (pass == passes - 1) {
        bus.left[i] = dry.left[i] + wet * outL;
        bus.right[i] = dry.right[i] + wet * outR;
      }
    }
  }
}

void normalize(MixBuffer& mix, float peak) {
  float loudest = 0;
  for (size_t i = 0; i < mix.frames(); i++) {
    loudest = std::max({loudest, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
  }
  if (loudest <= 0) return;
  float gain = 1.0f / loudest;
  // A soft knee above 0.7 rounds off the few loudest drum peaks.
  for (size_t i = 0; i < mix.frames(); i++) {
    for (float* s : {&mix.left[i], &mix.right[i]}) {
      float x = *s * gain;
      float ax = std::fabs(x);
      if (ax > 0.7f) x = std::copysign(0.7f + 0.3f * std::tanh((ax - 0.7f) / 0.3f), x);
      *s = x * peak;
    }
  }
}

bool writeWave(const std::string& path, const MixBuffer& mix, int channels) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  uint32_t frames = (uint32_t)mix.frames();
  uint32_t dataBytes = frames * channels * 2;
  auto put32 = [&](uint32_t v) {
    uint8_t b[4] = {(uint8_t)v, (uint8_t)(v >> 8), (uint8_t)(v >> 16), (uint8_t)(v >> 24)};
    std::fwrite(b, 1, 4, f);
  };
  auto put16 = [&](uint32_t v) {
    uint8_t b[2] = {(uint8_t)v, (uint8_t)(v >> 8)};
    std::fwrite(b, 1, 2, f);
  };
  std::fwrite("RIFF", 1, 4, f);
  put32(36 + dataBytes);
  std::fwrite("WAVEfmt ", 1, 8, f);
  put32(16);
  put16(1);
  put16(channels);
  put32(SYNTH_RATE);
  put32(SYNTH_RATE * channels * 2);
  put16(channels * 2);
  put16(16);
  std::fwrite("data", 1, 4, f);
  put32(dataBytes);
  std::vector<int16_t> samples;
  samples.reserve((size_t)frames * channels);
  for (uint32_t i = 0; i < frames; i++) {
    for (int c = 0; c < channels; c++) {
      float v = c == 0 ? mix.left[i] : mix.right[i];
      v = std::max(-1.0f, std::min(1.0f, v));
      samples.push_back((int16_t)std::lrint(v * 32767.0f));
    }
  }
  // Little-endian host assumed (Linux x86-64 and ARM).
  bool ok = std::fwrite(samples.data(), 2, samples.size(), f) == samples.size();
  return std::fclose(f) == 0 && ok;
}
