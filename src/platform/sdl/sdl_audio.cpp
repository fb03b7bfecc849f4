// SDL audio back end: one output device, mixed by hand in its callback.
// Wave files are decoded whole into memory (they are short); MP3 music is
// streamed through libmpg123 in gapless mode, a few thousand samples at a
// time, so three tunes cost little memory. Every failure is silent: no
// device or a bad file simply gives no sound.
#include <SDL.h>
#include <fcntl.h>
#include <mpg123.h>
#include <strings.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/os.h"
#include "platform/sdl/sdl_backend.h"

namespace {

constexpr int OUTPUT_RATE = 44100;
constexpr int OUTPUT_CHANNELS = 2;
// Volume 1000 plays at full scale; the game's own full volume (500) is half.
constexpr float VOLUME_TO_GAIN = 1.0f / 1000.0f;
// Volume changes glide over about 10 ms instead of stepping (no zipper noise).
constexpr float GAIN_GLIDE = 1.0f / 441.0f;

using Samples = std::vector<float>;  // interleaved stereo at OUTPUT_RATE

struct AudioDevice {
  std::shared_ptr<const Samples> pcm;  // wave files
  mpg123_handle* stream = nullptr;     // mp3 files
  uint64_t lengthFrames = 0;
  uint64_t positionFrames = 0;
  bool playing = false;
  bool endNotice = false;
  float gain = 1.0f, targetGain = 1.0f;
  bool snapGain = true;  // take the target at once when playback starts
  Samples scratch;       // decoded mp3 samples for one callback
};

struct AudioState {
  SDL_AudioDeviceID output = 0;
  int ready = 0;                      // 0 not tried yet, 1 running, -1 no sound at all
  std::vector<AudioDevice*> devices;  // handle h is entry h - 1, never reused
  std::map<std::string, std::shared_ptr<const Samples>> waveCache;
  std::shared_ptr<const Samples> oneShot;  // the playWave channel
  size_t oneShotFrame = 0;
  // Sounds cut off in mid-play ring out over a few milliseconds instead of
  // stopping dead, which would click.
  struct Tail {
    std::shared_ptr<const Samples> pcm;
    size_t frame;
    float gain;
    int left;
  };
  Tail tails[8];
  // The player's volumes (0 .. 1), over the game's own gains and fades.
  float musicScale = 1.0f, effectsScale = 1.0f;
};

// Never destroyed: the audio thread may still run while the process ends.
AudioState& audio = *new AudioState;

struct Lock {
  Lock() {
    if (audio.output) SDL_LockAudioDevice(audio.output);
  }
  ~Lock() {
    if (audio.output) SDL_UnlockAudioDevice(audio.output);
  }
};

constexpr int TAIL_FRAMES = 220;  // 5 ms

// Called with the lock held, when in-memory samples stop at `frame`.
void addTail(const std::shared_ptr<const Samples>& pcm, size_t frame, float gain) {
  if (!pcm || frame * OUTPUT_CHANNELS >= pcm->size()) return;
  for (AudioState::Tail& t : audio.tails)
    if (t.left <= 0) {
      t = {pcm, frame, gain, TAIL_FRAMES};
      return;
    }
}

void mixTails(float* out, size_t frames) {
  for (AudioState::Tail& t : audio.tails) {
    if (t.left <= 0) continue;
    const Samples& s = *t.pcm;
    for (size_t i = 0; i < frames && t.left > 0; i++, t.left--, t.frame++) {
      if (t.frame * OUTPUT_CHANNELS >= s.size()) {
        t.left = 0;
        break;
      }
      float g = t.gain * audio.effectsScale * (float)t.left / TAIL_FRAMES;
      out[2 * i] += s[t.frame * 2] * g;
      out[2 * i + 1] += s[t.frame * 2 + 1] * g;
    }
    if (t.left <= 0) t.pcm.reset();
  }
}

// Decodes up to `frames` frames of an mp3 into the scratch buffer; at the
// end of the file the device stops with its position at its length.
size_t decodeStream(AudioDevice* d, size_t frames) {
  size_t want = frames * OUTPUT_CHANNELS;
  if (d->scratch.size() < want) d->scratch.resize(want);
  size_t got = 0;
  while (got < want) {
    size_t bytes = 0;
    int result = mpg123_read(d->stream, reinterpret_cast<unsigned char*>(d->scratch.data() + got),
                             (want - got) * sizeof(float), &bytes);
    got += bytes / sizeof(float);
    if (result == MPG123_NEW_FORMAT) continue;
    if (result != MPG123_OK) {
      d->playing = false;
      d->endNotice = true;
      d->positionFrames = d->lengthFrames;
      return got / OUTPUT_CHANNELS;
    }
    if (bytes == 0) break;
  }
  return got / OUTPUT_CHANNELS;
}

void mixDevice(AudioDevice* d, float* out, size_t frames) {
  const float* src;
  size_t count;
  uint64_t start = d->positionFrames;
  if (d->stream) {
    count = decodeStream(d, frames);
    src = d->scratch.data();
    if (d->playing) {
      d->positionFrames += count;
      // The position never passes the length the scan promised.
      if (d->positionFrames > d->lengthFrames) d->positionFrames = d->lengthFrames;
    }
  } else {
    uint64_t left = d->lengthFrames - start;
    count = left < frames ? (size_t)left : frames;
    src = d->pcm->data() + start * OUTPUT_CHANNELS;
    d->positionFrames += count;
    if (d->positionFrames >= d->lengthFrames) {
      d->playing = false;
      d->endNotice = true;
    }
  }
  if (d->snapGain) d->gain = d->targetGain, d->snapGain = false;
  float gain = d->gain, target = d->targetGain;
  float player = d->stream ? audio.musicScale : audio.effectsScale;
  for (size_t i = 0; i < count; i++) {
    gain += (target - gain) * GAIN_GLIDE;
    out[2 * i] += src[2 * i] * gain * player;
    out[2 * i + 1] += src[2 * i + 1] * gain * player;
  }
  d->gain = gain;
}

void audioCallback(void*, Uint8* stream, int len) {
  float* out = reinterpret_cast<float*>(stream);
  size_t frames = (size_t)len / (sizeof(float) * OUTPUT_CHANNELS);
  std::memset(stream, 0, (size_t)len);
  for (AudioDevice* d : audio.devices)
    if (d && d->playing) mixDevice(d, out, frames);
  mixTails(out, frames);
  if (audio.oneShot) {
    const Samples& s = *audio.oneShot;
    size_t total = s.size() / OUTPUT_CHANNELS;
    size_t n = total - audio.oneShotFrame < frames ? total - audio.oneShotFrame : frames;
    const float* src = s.data() + audio.oneShotFrame * OUTPUT_CHANNELS;
    for (size_t i = 0; i < n * OUTPUT_CHANNELS; i++) out[i] += src[i] * audio.effectsScale;
    audio.oneShotFrame += n;
    if (audio.oneShotFrame >= total) audio.oneShot.reset();
  }
  // Several sounds at once may pass full scale: round them off softly.
  for (size_t i = 0; i < frames * OUTPUT_CHANNELS; i++) {
    float v = out[i];
    float a = std::fabs(v);
    if (a > 0.8f) out[i] = std::copysign(0.8f + 0.2f * std::tanh((a - 0.8f) / 0.2f), v);
  }
}

// The sound libraries underneath print their own complaints when there is
// no sound card; a game without sound plays on in silence, saying nothing.
struct QuietStderr {
  int saved = -1;
  QuietStderr() {
    std::fflush(stderr);
    saved = dup(2);
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 2);
      close(null);
    }
  }
  ~QuietStderr() {
    if (saved < 0) return;
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
  }
};

bool audioReady() {
  if (audio.ready) return audio.ready > 0;
  audio.ready = -1;
  QuietStderr quiet;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  SDL_AudioSpec want{}, have{};
  want.freq = OUTPUT_RATE;
  want.format = AUDIO_F32SYS;
  want.channels = OUTPUT_CHANNELS;
  want.samples = 1024;
  want.callback = audioCallback;
  // No changes allowed: SDL converts to whatever the card wants.
  audio.output = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (!audio.output) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
#if MPG123_API_VERSION < 46
  mpg123_init();
#endif
  audio.ready = 1;
  SDL_PauseAudioDevice(audio.output, 0);
  return true;
}

bool hasSuffix(const char* path, const char* suffix) {
  size_t n = std::strlen(path), m = std::strlen(suffix);
  return n >= m && !strcasecmp(path + n - m, suffix);
}

// Whole wave file converted to the output format, or null.
std::shared_ptr<const Samples> loadWave(const char* path) {
  SDL_AudioSpec spec;
  Uint8* buffer = nullptr;
  Uint32 bytes = 0;
  if (!SDL_LoadWAV(path, &spec, &buffer, &bytes)) return nullptr;
  std::shared_ptr<Samples> out;
  SDL_AudioStream* convert = SDL_NewAudioStream(spec.format, spec.channels, spec.freq, AUDIO_F32SYS,
                                                OUTPUT_CHANNELS, OUTPUT_RATE);
  if (convert && SDL_AudioStreamPut(convert, buffer, (int)bytes) == 0 &&
      SDL_AudioStreamFlush(convert) == 0) {
    int available = SDL_AudioStreamAvailable(convert);
    auto samples = std::make_shared<Samples>((size_t)available / sizeof(float));
    int got = SDL_AudioStreamGet(convert, samples->data(), available);
    if (got > 0) {
      samples->resize((size_t)got / sizeof(float) / OUTPUT_CHANNELS * OUTPUT_CHANNELS);
      if (!samples->empty()) out = samples;
    }
  }
  if (convert) SDL_FreeAudioStream(convert);
  SDL_FreeWAV(buffer);
  return out;
}

std::shared_ptr<const Samples> cachedWave(const char* path) {
  auto found = audio.waveCache.find(path);
  if (found != audio.waveCache.end()) return found->second;
  std::shared_ptr<const Samples> pcm = loadWave(path);
  if (pcm) audio.waveCache[path] = pcm;
  return pcm;
}

// An mp3 stream decoding to the output format with the encoder's delay
// and padding removed, so a tune ends exactly where its loop begins.
mpg123_handle* openStream(const char* path, uint64_t* lengthFrames) {
  int error = 0;
  mpg123_handle* mh = mpg123_new(nullptr, &error);
  if (!mh) return nullptr;
  mpg123_param(mh, MPG123_FLAGS,
               MPG123_GAPLESS | MPG123_FORCE_STEREO | MPG123_FORCE_FLOAT | MPG123_QUIET, 0);
  mpg123_param(mh, MPG123_FORCE_RATE, OUTPUT_RATE, 0);
  mpg123_format_none(mh);
  mpg123_format(mh, OUTPUT_RATE, MPG123_STEREO, MPG123_ENC_FLOAT_32);
  bool ok = mpg123_open(mh, path) == MPG123_OK && mpg123_scan(mh) == MPG123_OK;
  off_t length = ok ? mpg123_length(mh) : (off_t)-1;
  long rate = 0;
  int channels = 0, encoding = 0;
  ok = ok && length > 0 && mpg123_getformat(mh, &rate, &channels, &encoding) == MPG123_OK &&
       rate == OUTPUT_RATE && channels == OUTPUT_CHANNELS && encoding == MPG123_ENC_FLOAT_32 &&
       mpg123_seek(mh, 0, SEEK_SET) >= 0;
  if (!ok) {
    mpg123_delete(mh);
    return nullptr;
  }
  *lengthFrames = (uint64_t)length;
  return mh;
}

AudioDevice* device(int handle) {
  if (handle <= 0 || handle > (int)audio.devices.size()) return nullptr;
  return audio.devices[handle - 1];
}

uint32_t framesToMs(uint64_t frames) { return (uint32_t)(frames * 1000 / OUTPUT_RATE); }

}  // namespace

int osAudioOpen(const char* path) {
  if (!path || !audioReady()) return 0;
  auto* d = new AudioDevice;
  // The name says which decoder to try first; the other gets a chance too.
  bool wave = hasSuffix(path, ".wav");
  for (int attempt = 0; attempt < 2 && !d->pcm && !d->stream; attempt++) {
    if (wave == (attempt == 0)) {
      d->pcm = cachedWave(path);
      if (d->pcm) d->lengthFrames = d->pcm->size() / OUTPUT_CHANNELS;
    } else {
      d->stream = openStream(path, &d->lengthFrames);
      if (d->stream) d->scratch.reserve((size_t)4096 * OUTPUT_CHANNELS);
    }
  }
  if (!d->pcm && !d->stream) {
    delete d;
    return 0;
  }
  Lock lock;
  audio.devices.push_back(d);
  return (int)audio.devices.size();
}

uint32_t osAudioLengthMs(int handle) {
  Lock lock;
  AudioDevice* d = device(handle);
  return d ? framesToMs(d->lengthFrames) : 0;
}

uint32_t osAudioPositionMs(int handle) {
  Lock lock;
  AudioDevice* d = device(handle);
  return d ? framesToMs(d->positionFrames) : 0;
}

void osAudioPlay(int handle) {
  Lock lock;
  AudioDevice* d = device(handle);
  if (!d || d->playing) return;
  if (d->positionFrames >= d->lengthFrames) {
    d->endNotice = true;  // nothing left to play
    return;
  }
  d->playing = true;
  d->snapGain = true;
}

// Stops a device; a wave in mid-play rings out briefly.
static void halt(AudioDevice* d) {
  if (d->playing && d->pcm) addTail(d->pcm, (size_t)d->positionFrames, d->gain);
  d->playing = false;
}

void osAudioPause(int handle) {
  Lock lock;
  if (AudioDevice* d = device(handle)) halt(d);
}

void osAudioStop(int handle) { osAudioPause(handle); }

void osAudioSeek(int handle, uint32_t ms) {
  Lock lock;
  AudioDevice* d = device(handle);
  if (!d) return;
  halt(d);  // a seek leaves the device stopped there
  uint64_t frame = (uint64_t)ms * OUTPUT_RATE / 1000;
  if (frame > d->lengthFrames) frame = d->lengthFrames;
  if (d->stream && mpg123_seek(d->stream, (off_t)frame, SEEK_SET) < 0) return;
  d->positionFrames = frame;
}

void osAudioSetVolume(int handle, uint32_t volume) {
  Lock lock;
  AudioDevice* d = device(handle);
  if (d) d->targetGain = (float)(volume > 1000 ? 1000 : volume) * VOLUME_TO_GAIN;
}

int osAudioTakeEndNotice(int handle) {
  Lock lock;
  AudioDevice* d = device(handle);
  if (!d || !d->endNotice) return 0;
  d->endNotice = false;
  return 1;
}

void osAudioClose(int handle) {
  AudioDevice* d = nullptr;
  {
    Lock lock;
    d = device(handle);
    if (d) halt(d), audio.devices[handle - 1] = nullptr;
  }
  if (!d) return;
  if (d->stream) mpg123_delete(d->stream);
  delete d;
}

void osPlayWave(const char* path) {
  if (!path || !audioReady()) return;
  std::shared_ptr<const Samples> pcm = cachedWave(path);
  Lock lock;
  if (audio.oneShot) addTail(audio.oneShot, audio.oneShotFrame, 1.0f);
  audio.oneShot = pcm;  // a new effect cuts off the one still sounding
  audio.oneShotFrame = 0;
}

void sdlSetVolumes(int music, int effects) {
  Lock lock;
  audio.musicScale = (float)music / MAX_VOLUME;
  audio.effectsScale = (float)effects / MAX_VOLUME;
}

// A paused device plays nothing and its positions stand still.
void sdlPauseAudio(bool paused) {
  if (audio.output) SDL_PauseAudioDevice(audio.output, paused ? 1 : 0);
}
