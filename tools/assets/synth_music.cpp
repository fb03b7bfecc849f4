// Three tunes, each exactly a whole number of bars long (about 60 s) and
// rendered on a wrapping buffer, so the last bar's ringing notes and echoes
// sound over the first bar and the loop has no seam.
#include "synth_music.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <vector>

#include "synth.h"

extern char** environ;

namespace {

struct Chord {
  int root = 0;  // pitch class 0..11
  int intervals[4] = {0, 4, 7, 0};
  int count = 3;
};

Chord parseChord(const std::string& name) {
  Chord c;
  char note[4] = {name[0], 0, 0, 0};
  size_t i = 1;
  if (i < name.size() && (name[i] == '#' || name[i] == 'b')) note[1] = name[i++];
  note[std::strlen(note)] = '4';
  c.root = parseNoteName(note) % 12;
  std::string rest = name.substr(i);
  if (rest == "m") c.intervals[1] = 3;
  if (rest == "dim") c.intervals[1] = 3, c.intervals[2] = 6;
  if (rest == "7") c.intervals[3] = 10, c.count = 4;
  return c;
}

struct Song {
  double bpm;
  int bars;
  std::vector<std::vector<Chord>> chords;  // per bar: one chord, or two (half a bar each)
  double stepSeconds16() const { return 60.0 / bpm / 4.0; }
  int64_t frameAt(int bar, double step16) const {
    return std::llround((bar * 16 + step16) * stepSeconds16() * SYNTH_RATE);
  }
  int64_t totalFrames() const { return frameAt(bars, 0); }
  const Chord& chordAt(int bar, int step16) const {
    const std::vector<Chord>& c = chords[bar % bars];
    return c.size() > 1 && step16 >= 8 ? c[1] : c[0];
  }
};

Song makeSong(double bpm, const char* chordText) {
  Song s{bpm, 0, {}};
  std::istringstream in(chordText);
  std::string token;
  while (in >> token) {
    std::vector<Chord> bar;
    size_t comma = token.find(',');
    bar.push_back(parseChord(token.substr(0, comma)));
    if (comma != std::string::npos) bar.push_back(parseChord(token.substr(comma + 1)));
    s.chords.push_back(bar);
  }
  s.bars = (int)s.chords.size();
  return s;
}

// Melody in eighth notes: a note name starts a note, "." holds it, "-" rests.
void playMelody(MixBuffer& bus, const Song& s, int firstBar, const char* text, Instrument inst,
                float velocity, int transpose, float pan) {
  std::istringstream in(text);
  std::vector<std::string> tokens;
  std::string token;
  while (in >> token) tokens.push_back(token);
  for (size_t i = 0; i < tokens.size(); i++) {
    int midi = parseNoteName(tokens[i].c_str());
    if (midi < 0) continue;
    size_t len = 1;
    while (i + len < tokens.size() && tokens[i + len] == ".") len++;
    double seconds = len * 2 * s.stepSeconds16() * (len == 1 ? 0.7 : 0.92);
    int bar = firstBar + (int)(i / 8);
    renderNote(bus, inst, s.frameAt(bar, (i % 8) * 2.0), seconds, midi + transpose, velocity, pan);
  }
}

int bassNote(const Chord& c, char kind) {
  int root = 36 + c.root;
  if (root > 40) root -= 12;
  switch (kind) {
    case 'O': return root + 12;
    case 'F': return root + c.intervals[2];
    case 'T': return root + c.intervals[1];
    default: return root;
  }
}

// Sixteen steps per bar. Bass: R root, O octave, F fifth, T third.
void playBass(MixBuffer& bus, const Song& s, int bar, const char* pattern, float velocity,
              double gate) {
  for (int i = 0; i < 16; i++) {
    char k = pattern[i];
    if (k == '.' || k == '-') continue;
    int len = 1;
    while (i + len < 16 && pattern[i + len] == '.') len++;
    double seconds = len * s.stepSeconds16() * (len == 1 ? gate : 0.95);
    renderNote(bus, INSTR_BASS, s.frameAt(bar, i), seconds, bassNote(s.chordAt(bar, i), k),
               velocity, 0);
  }
}

// Drums: X hit, x soft hit.
void playDrums(MixBuffer& bus, const Song& s, int bar, Instrument inst, const char* pattern,
               float velocity, float pan) {
  for (int i = 0; i < 16; i++) {
    if (pattern[i] != 'X' && pattern[i] != 'x') continue;
    float v = pattern[i] == 'X' ? velocity : velocity * 0.5f;
    renderNote(bus, inst, s.frameAt(bar, i), 0.1, 60, v, pan);
  }
}

// Arpeggio: digits pick chord tones upward from `base`, "." holds.
void playArp(MixBuffer& bus, const Song& s, int bar, const char* pattern, float velocity, int base,
             float pan) {
  for (int i = 0; i < 16; i++) {
    if (pattern[i] < '0' || pattern[i] > '9') continue;
    int len = 1;
    while (i + len < 16 && pattern[i + len] == '.') len++;
    const Chord& c = s.chordAt(bar, i);
    int root = base + ((c.root - base) % 12 + 12) % 12;
    int index = pattern[i] - '0';
    int midi = root + c.intervals[index % c.count] + 12 * (index / c.count);
    renderNote(bus, INSTR_PLUCK, s.frameAt(bar, i), len * s.stepSeconds16(), midi, velocity, pan);
  }
}

// Sustained chord, voiced from `base` upward, one per chord of the bar.
void playPad(MixBuffer& bus, const Song& s, int bar, float velocity, int base) {
  const std::vector<Chord>& chords = s.chords[bar % s.bars];
  double steps = 16.0 / chords.size();
  for (size_t k = 0; k < chords.size(); k++) {
    const Chord& c = chords[k];
    int root = base + ((c.root - base) % 12 + 12) % 12;
    for (int i = 0; i < 3; i++) {
      float pan = (float)(i - 1) * 0.5f;
      renderNote(bus, INSTR_PAD, s.frameAt(bar, k * steps), steps * s.stepSeconds16() * 0.98,
                 root + c.intervals[i], velocity, pan);
    }
  }
}

struct Buses {
  MixBuffer lead, band;
  explicit Buses(const Song& s)
      : lead((size_t)s.totalFrames(), true), band((size_t)s.totalFrames(), true) {}
  MixBuffer finish(const Song& s) {
    applyEcho(lead, 3 * s.stepSeconds16(), 0.35f, 0.35f);
    MixBuffer mix((size_t)s.totalFrames(), true);
    lead.mixInto(mix, 1.0f);
    band.mixInto(mix, 1.0f);
    normalize(mix, 0.89f);
    return mix;
  }
};

// Title: hopeful and adventurous, D major, 96 BPM, 24 bars = 60 s.
MixBuffer composeTitle() {
  Song s = makeSong(96, "D A Bm G D A G A  Bm G D A Bm G Em A  G A F#m Bm G A D A");
  const char* melody =
      "F#5 . . E5 D5 . A4 .   C#5 . . D5 E5 . . .   D5 . . C#5 B4 . F#4 .   G4 . B4 . D5 . . . "
      "F#5 . . E5 D5 . A5 .   A5 . G5 F#5 E5 . C#5 .  D5 . B4 . G5 . F#5 E5  E5 . . . . . - - "
      "B5 . . A5 F#5 . D5 .   G5 . . F#5 D5 . B4 .   A4 . D5 . F#5 . A5 .   G5 . F#5 . E5 . . . "
      "F#5 . B5 . A5 . F#5 .  G5 . . . D5 . B4 .     E5 . G5 . B5 . A5 G5   F#5 . . . E5 . . . "
      "D6 . . B5 G5 . B5 .    C#6 . . A5 E5 . A5 .   A5 . . F#5 C#5 . F#5 . B5 . A5 . F#5 . D5 . "
      "B4 . D5 . G5 . B5 .    A5 . G5 . E5 . C#5 .   D5 . . . . . . .       - - - - A4 C#5 E5 . ";
  Buses b(s);
  playMelody(b.lead, s, 0, melody, INSTR_LEAD, 0.45f, 0, 0.1f);
  std::string upper(melody);
  playMelody(b.lead, s, 16, upper.substr(upper.find("D6")).c_str(), INSTR_BELL, 0.18f, 12, -0.2f);
  for (int bar = 0; bar < s.bars; bar++) {
    playPad(b.band, s, bar, 0.22f, 54);
    playArp(b.band, s, bar, "0.1.2.3.4.3.2.1.", 0.14f, 62, -0.35f);
    if (bar < 4) {
      playBass(b.band, s, bar, "R...............", 0.55f, 0.8);
      playDrums(b.band, s, bar, INSTR_KICK, "X.......X.......", 0.7f, 0);
      playDrums(b.band, s, bar, INSTR_HAT, ".......x.......x", 0.25f, 0.3f);
      continue;
    }
    playBass(b.band, s, bar, "R.....R.R...F.O.", 0.55f, 0.8);
    playDrums(b.band, s, bar, INSTR_KICK, "X.....x.X.......", 0.75f, 0);
    bool fill = bar % 8 == 7;
    playDrums(b.band, s, bar, INSTR_SNARE, fill ? "....X.......XxXX" : "....X.......X...", 0.45f,
              0.05f);
    playDrums(b.band, s, bar, INSTR_HAT, "x.x.x.x.x.x.x.x.", 0.22f, 0.3f);
  }
  for (int bar : {0, 8, 16})
    playDrums(b.band, s, bar, INSTR_CRASH, "X...............", 0.3f, -0.3f);
  return b.finish(s);
}

// Main: a bouncy puzzle-platformer groove, G major, 128 BPM, 32 bars = 60 s.
MixBuffer composeMain() {
  Song s = makeSong(128,
                    "G Em C D G Em C,D G  C D Bm Em C D Am D  G Em C D G Em C,D G  "
                    "Em C G D Em C Am D");
  const char* themeA =
      "B4 D5 G5 - F#5 G5 - D5   E5 - G5 - B5 . A5 G5   E5 G5 C6 - B5 A5 - G5   F#5 . . . D5 - - - "
      "B4 D5 G5 - F#5 G5 - B5   A5 - G5 - E5 . G5 -    E5 . G5 . F#5 . A5 .    G5 . . . - - D5 - ";
  const char* themeB =
      "E5 . E5 G5 - E5 C5 -     F#5 . F#5 A5 - F#5 D5 -  D5 . F#5 . B5 . A5 .  G5 . . E5 - - B4 . "
      "C5 E5 G5 C6 . B5 A5 G5   A5 . F#5 . D5 . F#5 .    E5 . C5 . A4 . C5 .   D5 . . . F#5 . A5 "
      ". ";
  const char* themeC =
      "B5 . . . . . . .   C6 . . . G5 . . .   B5 . . . D5 . . .   A5 . . . . . F#5 . "
      "G5 . . . B5 . . .  E6 . . . C6 . . .   C6 . B5 . A5 . G5 .  F#5 . . . A5 . D5 . ";
  Buses b(s);
  playMelody(b.lead, s, 0, themeA, INSTR_LEAD, 0.42f, 0, 0.1f);
  playMelody(b.lead, s, 8, themeB, INSTR_LEAD, 0.42f, 0, 0.1f);
  playMelody(b.lead, s, 16, themeA, INSTR_LEAD, 0.42f, 0, 0.1f);
  playMelody(b.lead, s, 16, themeA, INSTR_BELL, 0.2f, 12, -0.25f);
  playMelody(b.lead, s, 24, themeC, INSTR_LEAD, 0.42f, 0, 0.1f);
  for (int bar = 0; bar < s.bars; bar++) {
    bool bridge = bar >= 24;
    bool fill = bar % 8 == 7;
    if (bridge) {
      playPad(b.band, s, bar, 0.2f, 55);
      playBass(b.band, s, bar, "R.......R...O...", 0.6f, 0.6);
      playDrums(b.band, s, bar, INSTR_KICK, "X.......X.......", 0.75f, 0);
    } else {
      playBass(b.band, s, bar, "R..O..R...O.R.F.", 0.6f, 0.55);
      playDrums(b.band, s, bar, INSTR_KICK, "X.....X.X.....x.", 0.75f, 0);
    }
    if (bar >= 8) playArp(b.band, s, bar, "0.1.2.1.0.1.2.3.", 0.12f, 67, -0.4f);
    playDrums(b.band, s, bar, INSTR_SNARE, fill ? "....X.......X.XX" : "....X.......X...", 0.45f,
              0.05f);
    playDrums(b.band, s, bar, INSTR_HAT, "x.X.x.X.x.X.x.X.", 0.18f, 0.3f);
    if (!bridge) playDrums(b.band, s, bar, INSTR_OPEN_HAT, "..............x.", 0.12f, 0.35f);
  }
  for (int bar : {0, 8, 16, 24})
    playDrums(b.band, s, bar, INSTR_CRASH, "X...............", 0.28f, -0.3f);
  return b.finish(s);
}

// Boss: tense, D minor with its raised seventh, 160 BPM, 40 bars = 60 s.
MixBuffer composeBoss() {
  Song s = makeSong(160,
                    "Dm Dm Bb A  Dm Bb Gm A Dm Bb Gm A  Dm C Bb A Gm A Dm A  "
                    "Dm Bb Gm A Dm Bb Gm A  Bb C A Dm Bb C Edim A  Dm Dm A A");
  const char* themeA =
      "D5 . . . A5 . . .   Bb5 . A5 . G5 . F5 .   G5 . . . D5 . G5 .   C#5 . . . E5 . A5 . "
      "D6 . . . C6 . A5 .  Bb5 . . . F5 . D5 .    G5 . Bb5 . A5 . G5 .  A5 . . . . . - - ";
  const char* themeB =
      "F5 E5 F5 A5 D5 . . .   E5 D5 E5 G5 C5 . . .   D5 C5 D5 F5 Bb4 . D5 .  C#5 . E5 . A5 . G5 . "
      "Bb5 A5 G5 . D5 . G5 .  A5 G5 F5 . E5 . C#5 .  D5 . F5 . A5 . D6 .     C#6 . . . A5 . E5 . ";
  const char* themeC =
      "F5 . . . . . D5 .   G5 . . . . . E5 .   A5 . . . C#6 . E6 .   D6 . . . . . . . "
      "D6 . C6 . Bb5 . F5 .  E6 . D6 . C6 . G5 .  G5 . Bb5 . E5 . G5 .  A5 . . . C#5 . E5 . ";
  Buses b(s);
  playMelody(b.lead, s, 4, themeA, INSTR_LEAD, 0.42f, 0, 0.1f);
  playMelody(b.lead, s, 12, themeB, INSTR_LEAD, 0.42f, 0, 0.1f);
  playMelody(b.lead, s, 20, themeA, INSTR_LEAD, 0.42f, 0, 0.1f);
  playMelody(b.lead, s, 20, themeA, INSTR_BELL, 0.2f, -12, -0.25f);
  playMelody(b.lead, s, 28, themeC, INSTR_LEAD, 0.42f, 0, 0.1f);
  for (int bar = 0; bar < s.bars; bar++) {
    bool intro = bar < 4, brk = bar >= 36;
    if (!intro && !brk) playPad(b.band, s, bar, 0.18f, 50);
    if (bar >= 12 && bar < 20) playArp(b.band, s, bar, "0120012001200120", 0.08f, 62, -0.4f);
    if (bar >= 28 && bar < 36) playArp(b.band, s, bar, "0123012301230123", 0.08f, 62, -0.4f);
    if (brk && bar < 38) {
      playBass(b.band, s, bar, "R.......R.......", 0.6f, 0.5);
      playDrums(b.band, s, bar, INSTR_KICK, "X.......X.......", 0.8f, 0);
      playDrums(b.band, s, bar, INSTR_HAT, "x.x.x.x.x.x.x.x.", 0.18f, 0.3f);
      continue;
    }
    playBass(b.band, s, bar, "R.R.O.R.R.R.O.R.", 0.6f, 0.5);
    if (brk) {
      playDrums(b.band, s, bar, INSTR_KICK, "X...X...X...X...", 0.8f, 0);
      float v = bar == 38 ? 0.3f : 0.45f;
      playDrums(b.band, s, bar, INSTR_SNARE, bar == 38 ? "X.X.X.X.X.X.X.X." : "XXXXXXXXXXXXXXXX", v,
                0.05f);
      continue;
    }
    playDrums(b.band, s, bar, INSTR_KICK, intro ? "X...X...X...X..." : "X...X...X.X.X...", 0.8f, 0);
    if (bar >= 2) {
      bool fill = bar % 8 == 3;
      playDrums(b.band, s, bar, INSTR_SNARE, fill ? "....X.......XXXX" : "....X.......X...", 0.45f,
                0.05f);
    }
    playDrums(b.band, s, bar, INSTR_HAT, "x.x.x.x.x.x.x.x.", 0.2f, 0.3f);
  }
  for (int bar : {0, 4, 12, 20, 28})
    playDrums(b.band, s, bar, INSTR_CRASH, "X...............", 0.3f, -0.3f);
  return b.finish(s);
}

pid_t startEncoder(const std::string& lame, const std::string& wav, const std::string& mp3) {
  std::vector<std::string> args = {lame, "--quiet", "-b", "128", wav, mp3};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, lame.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return 0;
  return pid;
}

}  // namespace

bool generateMusic(const std::string& bgmDir, const std::string& lame) {
  struct Tune {
    const char* name;
    MixBuffer (*compose)();
  };
  const Tune tunes[3] = {{"title", composeTitle}, {"main", composeMain}, {"boss", composeBoss}};
  pid_t encoders[3] = {};
  std::string wavs[3];
  bool ok = true;
  // Each tune is encoded while the next one is rendered.
  for (int i = 0; i < 3; i++) {
    wavs[i] = bgmDir + "/" + tunes[i].name + ".render.wav";
    if (!writeWave(wavs[i], tunes[i].compose(), 2)) {
      std::fprintf(stderr, "puxten-assets: cannot write %s\n", wavs[i].c_str());
      ok = false;
      continue;
    }
    encoders[i] = startEncoder(lame, wavs[i], bgmDir + "/" + tunes[i].name + ".mp3");
    if (!encoders[i]) {
      std::fprintf(stderr, "puxten-assets: cannot run %s\n", lame.c_str());
      ok = false;
    }
  }
  for (int i = 0; i < 3; i++) {
    if (encoders[i]) {
      int status = 0;
      if (waitpid(encoders[i], &status, 0) != encoders[i] || !WIFEXITED(status) ||
          WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "puxten-assets: encoding %s failed\n", tunes[i].name);
        ok = false;
      }
    }
    std::remove(wavs[i].c_str());
  }
  return ok;
}
