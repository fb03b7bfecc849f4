// Surfaces written as PNG pictures (screenshots, contact sheets, icons): 8-bit RGB or RGBA,
// no interlace, every row unfiltered, deflated with zlib.
#include <zlib.h>

#include <cstdio>
#include <vector>

#include "platform/sprite.h"

namespace {

void put32(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back((uint8_t)(x >> 24));
  v.push_back((uint8_t)(x >> 16));
  v.push_back((uint8_t)(x >> 8));
  v.push_back((uint8_t)x);
}

// Appends one chunk: length, type, data, CRC of type and data.
void putChunk(std::vector<uint8_t>& file, const char type[4], const uint8_t* data, size_t n) {
  put32(file, (uint32_t)n);
  size_t typeAt = file.size();
  file.insert(file.end(), type, type + 4);
  if (n) file.insert(file.end(), data, data + n);
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, file.data() + typeAt, (uInt)(4 + n));
  put32(file, (uint32_t)crc);
}

// Rows of 0x00RRGGBB (RGB) or 0xAARRGGBB (RGBA) pixels to a PNG file.
bool writePngPixels(const char* path, int width, int height, const uint32_t* pixels, bool alpha) {
  int channels = alpha ? 4 : 3;
  // Raw scanlines: a filter byte (0, none) then R, G, B (and A) per pixel.
  size_t rowBytes = 1 + (size_t)width * channels;
  std::vector<uint8_t> raw(rowBytes * height);
  for (int r = 0; r < height; r++) {
    uint8_t* out = raw.data() + rowBytes * r;
    *out++ = 0;
    const uint32_t* in = pixels + (size_t)r * width;
    for (int c = 0; c < width; c++) {
      *out++ = (uint8_t)(in[c] >> 16);
      *out++ = (uint8_t)(in[c] >> 8);
      *out++ = (uint8_t)in[c];
      if (alpha) *out++ = (uint8_t)(in[c] >> 24);
    }
  }
  uLongf packedSize = compressBound((uLong)raw.size());
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), (uLong)raw.size(), 6) != Z_OK) return false;

  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  put32(header, (uint32_t)width);
  put32(header, (uint32_t)height);
  const uint8_t COLOUR_RGB = 2, COLOUR_RGBA = 6;
  // 8 bits, colour type, deflate, no filter set, no interlace.
  header.insert(header.end(), {8, alpha ? COLOUR_RGBA : COLOUR_RGB, 0, 0, 0});
  putChunk(file, "IHDR", header.data(), header.size());
  putChunk(file, "IDAT", packed.data(), packedSize);
  putChunk(file, "IEND", nullptr, 0);

  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  if (std::fclose(f) != 0) ok = false;
  return ok;
}

}  // namespace

bool writePng(const char* path, const SpriteSurface& s) {
  if (!path || s.width <= 0 || s.height <= 0 ||
      s.pixels.size() < (size_t)s.width * (size_t)s.height)
    return false;
  return writePngPixels(path, s.width, s.height, s.pixels.data(), false);
}

bool writePngWithAlpha(const char* path, int width, int height,
                       const std::vector<uint32_t>& pixels) {
  if (!path || width <= 0 || height <= 0 || pixels.size() < (size_t)width * (size_t)height)
    return false;
  return writePngPixels(path, width, height, pixels.data(), true);
}
