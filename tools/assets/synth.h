// A small synthesiser for the game's sound effects and tunes: band-limited
// oscillators, envelopes, one-pole filters, a few instruments and a
// stereo mix buffer that can wrap around (for music loops).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

constexpr int SYNTH_RATE = 44100;

double midiFrequency(double midi);
// Note names: "C4", "F#5", "Bb3" (C4 = 60). -1 when not a note.
int parseNoteName(const char* text);

// Deterministic noise in -1..1.
struct Noise {
  uint32_t state = 0x12345678;
  float next();
};

// One-pole low pass; the high pass is input minus the low pass.
struct OnePole {
  float z = 0;
  float cutoff = -1, coefficient = 0;  // the last cutoff's coefficient, kept
  float lowPass(float x, float cutoffHz);
  float highPass(float x, float cutoffHz);
};

// Band-limited oscillator (polyBLEP): phase in 0..1.
struct Oscillator {
  double phase = 0;
  float saw(double freq);
  float pulse(double freq, double width);
  float triangle(double freq);
  float sine(double freq);
};

// Attack, decay, sustain level and release in seconds; the note is held
// for `hold` seconds and then released, so every note starts and ends at 0.
float adsr(double t, double hold, double attack, double decay, double sustain, double release);

// Stereo mix bus. With `wrap` set, samples written past the end land at
// the start, so a loop's ringing tails flow into its beginning.
struct MixBuffer {
  std::vector<float> left, right;
  bool wrap = false;
  explicit MixBuffer(size_t frames = 0, bool wrapAround = false);
  size_t frames() const { return left.size(); }
  void add(int64_t frame, float l, float r);
  void addMono(int64_t frame, float v, float pan);  // pan -1 left .. 1 right
  void mixInto(MixBuffer& out, float gain) const;
};

enum Instrument {
  INSTR_LEAD,   // bright pulse with vibrato
  INSTR_BELL,   // soft sine bell, for doubling the lead
  INSTR_PLUCK,  // short square pluck for arpeggios
  INSTR_PAD,    // slow detuned saws
  INSTR_BASS,   // filtered saw with a sub sine
  INSTR_KICK,
  INSTR_SNARE,
  INSTR_HAT,
  INSTR_OPEN_HAT,
  INSTR_CRASH,
};

// Renders one note starting at `startFrame`, held for `seconds`.
void renderNote(MixBuffer& out, Instrument instrument, int64_t startFrame, double seconds, int midi,
                float velocity, float pan);

// A stereo feedback echo over the whole buffer; on a wrapping buffer the
// echo runs around the loop twice so its tail wraps too.
void applyEcho(MixBuffer& bus, double delaySeconds, float feedback, float wet);

// Scales so that the loudest sample is `peak`, with a gentle limiter first.
void normalize(MixBuffer& mix, float peak);

// Writes 16-bit PCM (1 or 2 channels, SYNTH_RATE); mono takes the left side.
bool writeWave(const std::string& path, const MixBuffer& mix, int channels);
