// Headless audio: every call is logged, and a playing device's position
// moves with the virtual clock, stopping exactly at its length, so that
// music fades and loops run the same in every replay.
#include "platform/headless/headless_audio.h"

#include <cstdio>
#include <cstring>

#include "platform/os.h"

HeadlessAudio headlessAudio;

namespace {

HeadlessDevice* device(int handle) {
  if (handle <= 0 || handle > (int)headlessAudio.devices.size()) return nullptr;
  HeadlessDevice* d = &headlessAudio.devices[handle - 1];
  return d->open ? d : nullptr;
}

// Brings a playing device up to the virtual clock: at its end it stops
// with the position equal to its length and raises the end notice once.
void advance(HeadlessDevice* d) {
  if (!d->playing) return;
  int64_t elapsed = osMsSince(d->startMs);
  if (elapsed < 0) elapsed = 0;
  int64_t pos = (int64_t)d->basePosition + elapsed;
  if (pos >= (int64_t)d->length) {
    d->basePosition = d->length;
    d->playing = false;
    d->endNotice = true;
  }
}

uint32_t currentPosition(HeadlessDevice* d) {
  advance(d);
  if (!d->playing) return d->basePosition;
  return (uint32_t)(d->basePosition + osMsSince(d->startMs));
}

void log(const char* verb, int handle) {
  headlessAudio.log.push_back(std::string(verb) + " " + std::to_string(handle));
}

// ---- file lengths ---------------------------------------------------------

constexpr long MAX_FILE_BYTES = 128L << 20;

bool readFile(const char* path, std::vector<uint8_t>* bytes) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  long size = ok ? std::ftell(f) : -1;
  ok = ok && size > 0 && size <= MAX_FILE_BYTES && std::fseek(f, 0, SEEK_SET) == 0;
  if (ok) {
    bytes->resize((size_t)size);
    ok = std::fread(bytes->data(), 1, (size_t)size, f) == (size_t)size;
  }
  std::fclose(f);
  return ok;
}

uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }
uint32_t le16(const uint8_t* p) { return p[0] | p[1] << 8; }
uint32_t be32(const uint8_t* p) { return (uint32_t)p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

uint32_t waveLengthMs(const std::vector<uint8_t>& b) {
  size_t n = b.size();
  uint32_t rate = 0, blockAlign = 0;
  size_t pos = 12;
  while (pos + 8 <= n) {
    uint32_t size = le32(&b[pos + 4]);
    const uint8_t* body = &b[pos + 8];
    size_t available = n - (pos + 8);
    if (!std::memcmp(&b[pos], "fmt ", 4)) {
      if (size < 16 || available < 16) return 0;
      uint32_t channels = le16(body + 2);
      rate = le32(body + 4);
      blockAlign = le16(body + 12);
      if (channels < 1 || channels > 8 || rate < 1000 || rate > 384000 || !blockAlign) return 0;
    } else if (!std::memcmp(&b[pos], "data", 4)) {
      if (!rate) return 0;                                   // no format before the samples
      uint64_t bytes = size < available ? size : available;  // a cut file plays what it has
      uint64_t frames = bytes / blockAlign;
      uint64_t ms = frames * 1000 / rate;
      return ms > 0xFFFFFFFFull ? 0 : (uint32_t)ms;
    }
    pos += 8 + (uint64_t)size + (size & 1);
  }
  return 0;
}

struct Mp3Header {
  int ok;
  int mpeg1;
  int mono;
  uint32_t sampleRate;
  uint32_t frameBytes;
  uint32_t samples;
};

Mp3Header mp3Header(const uint8_t* p) {
  static const uint16_t RATES_V1[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                        112, 128, 160, 192, 224, 256, 320, 0};
  static const uint16_t RATES_V2[16] = {0,  8,  16, 24,  32,  40,  48,  56,
                                        64, 80, 96, 112, 128, 144, 160, 0};
  static const uint32_t SAMPLE_RATES[3] = {44100, 48000, 32000};
  Mp3Header h{};
  if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return h;
  int version = (p[1] >> 3) & 3;  // 0: 2.5, 2: 2, 3: 1
  int layer = (p[1] >> 1) & 3;    // 1: layer III
  int bitrateIndex = p[2] >> 4;
  int rateIndex = (p[2] >> 2) & 3;
  if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
    return h;
  h.mpeg1 = version == 3;
  h.sampleRate = SAMPLE_RATES[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
  uint32_t kbps = h.mpeg1 ? RATES_V1[bitrateIndex] : RATES_V2[bitrateIndex];
  uint32_t padding = (p[2] >> 1) & 1;
  h.frameBytes = (h.mpeg1 ? 144000 : 72000) * kbps / h.sampleRate + padding;
  h.samples = h.mpeg1 ? 1152 : 576;
  h.mono = (p[3] >> 6) == 3;
  h.ok = h.frameBytes >= 24;
  return h;
}

// Walks the Layer III frames after any ID3v2 tag. A first frame holding a
// Xing/Info tag is no sound; the encoder's delay and padding from its LAME
// tag are left out, as a gapless decoder does.
uint32_t mp3LengthMs(const std::vector<uint8_t>& b) {
  size_t n = b.size();
  size_t pos = 0;
  if (n >= 10 && !std::memcmp(b.data(), "ID3", 3)) {
    uint32_t size = (b[6] & 0x7F) << 21 | (b[7] & 0x7F) << 14 | (b[8] & 0x7F) << 7 | (b[9] & 0x7F);
    pos = 10 + (size_t)size + ((b[5] & 0x10) ? 10 : 0);
  }
  // Find the first frame: a header whose successor is a header too.
  size_t searchEnd = pos + 65536;
  Mp3Header first{};
  for (; pos + 4 <= n && pos < searchEnd; pos++) {
    first = mp3Header(&b[pos]);
    if (!first.ok) continue;
    size_t next = pos + first.frameBytes;
    if (next + 4 > n || mp3Header(&b[next]).ok) break;
    first.ok = 0;
  }
  if (!first.ok) return 0;
  uint64_t samples = 0;
  uint64_t skipped = 0;  // encoder delay + padding
  bool firstFrame = true;
  while (pos + 4 <= n) {
    Mp3Header h = mp3Header(&b[pos]);
    if (!h.ok || h.sampleRate != first.sampleRate || pos + h.frameBytes > n) break;
    if (firstFrame) {
      firstFrame = false;
      size_t tag = pos + 4 + (h.mpeg1 ? (h.mono ? 17 : 32) : (h.mono ? 9 : 17));
      if (tag + 8 <= pos + h.frameBytes &&
          (!std::memcmp(&b[tag], "Xing", 4) || !std::memcmp(&b[tag], "Info", 4))) {
        uint32_t flags = be32(&b[tag + 4]);
        size_t lame = tag + 8 + (flags & 1 ? 4 : 0) + (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) +
                      (flags & 8 ? 4 : 0);
        if (lame + 24 <= pos + h.frameBytes) {
          const uint8_t* d = &b[lame + 21];
          skipped = (uint64_t)(d[0] << 4 | d[1] >> 4) + ((d[1] & 0x0F) << 8 | d[2]);
        }
        pos += h.frameBytes;
        continue;
      }
    }
    samples += h.samples;
    pos += h.frameBytes;
  }
  if (samples <= skipped) return 0;
  uint64_t ms = (samples - skipped) * 1000 / first.sampleRate;
  return ms > 0xFFFFFFFFull ? 0 : (uint32_t)ms;
}

}  // namespace

uint32_t headlessAudioFileLengthMs(const char* path) {
  std::vector<uint8_t> bytes;
  if (!path || !readFile(path, &bytes)) return 0;
  if (bytes.size() >= 12 && !std::memcmp(bytes.data(), "RIFF", 4) &&
      !std::memcmp(bytes.data() + 8, "WAVE", 4))
    return waveLengthMs(bytes);
  return mp3LengthMs(bytes);
}

std::vector<std::string> headlessAudioTakeLog() {
  std::vector<std::string> lines;
  lines.swap(headlessAudio.log);
  return lines;
}

void headlessAudioReset() {
  for (HeadlessDevice& d : headlessAudio.devices) d.open = false;
  headlessAudio.log.clear();
  headlessAudio.lastWave.clear();
}

int headlessAudioPlaying(int handle) {
  HeadlessDevice* d = device(handle);
  if (!d) return 0;
  advance(d);
  return d->playing;
}

uint32_t headlessAudioVolume(int handle) {
  HeadlessDevice* d = device(handle);
  return d ? d->volume : 0;
}

const char* headlessAudioLastWave() { return headlessAudio.lastWave.c_str(); }

int osAudioOpen(const char* path) {
  uint32_t length = headlessAudioFileLengthMs(path);
  if (!length) {
    headlessAudio.log.push_back(std::string("openfail ") + (path ? path : ""));
    return 0;
  }
  HeadlessDevice d;
  d.open = true;
  d.length = length;
  headlessAudio.devices.push_back(d);
  int handle = (int)headlessAudio.devices.size();
  headlessAudio.log.push_back("open " + std::to_string(handle) + " " + path);
  return handle;
}

uint32_t osAudioLengthMs(int handle) {
  HeadlessDevice* d = device(handle);
  return d ? d->length : 0;
}

uint32_t osAudioPositionMs(int handle) {
  HeadlessDevice* d = device(handle);
  return d ? currentPosition(d) : 0;
}

void osAudioPlay(int handle) {
  HeadlessDevice* d = device(handle);
  if (!d) return;
  log("play", handle);
  advance(d);
  if (d->playing) return;  // already on its way
  d->playing = true;
  d->startMs = osNowMs();
  advance(d);  // a play from the very end ends at once
}

namespace {

// Pause and stop alike hold a device at the position it reached.
void holdDevice(int handle, const char* call) {
  HeadlessDevice* d = device(handle);
  if (!d) return;
  log(call, handle);
  d->basePosition = currentPosition(d);
  d->playing = false;
}

}  // namespace

void osAudioPause(int handle) { holdDevice(handle, "pause"); }
void osAudioStop(int handle) { holdDevice(handle, "stop"); }

void osAudioSeek(int handle, uint32_t ms) {
  HeadlessDevice* d = device(handle);
  if (!d) return;
  headlessAudio.log.push_back("seek " + std::to_string(handle) + " " + std::to_string(ms));
  advance(d);
  d->playing = false;  // a seek leaves the device stopped there
  d->basePosition = ms < d->length ? ms : d->length;
}

void osAudioSetVolume(int handle, uint32_t volume) {
  HeadlessDevice* d = device(handle);
  if (!d || d->volume == volume) return;
  d->volume = volume;
  headlessAudio.log.push_back("volume " + std::to_string(handle) + " " + std::to_string(volume));
}

int osAudioTakeEndNotice(int handle) {
  HeadlessDevice* d = device(handle);
  if (!d) return 0;
  advance(d);
  int notice = d->endNotice;
  d->endNotice = false;
  return notice;
}

void osAudioClose(int handle) {
  HeadlessDevice* d = device(handle);
  if (!d) return;
  log("close", handle);
  *d = HeadlessDevice{};
}

void osPlayWave(const char* path) {
  headlessAudio.lastWave = path ? path : "";
  headlessAudio.log.push_back("wave " + headlessAudio.lastWave);
}
