// Surfaces written as PNG pictures (screenshots, contact sheets): 8-bit RGB,
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

}  // namespace

bool writePng(const char* path, const SpriteSurface& s) {
  if (!path || s.width <= 0 || s.height <= 0 ||
      s.pixels.size() < (size_t)s.width * (size_t)s.height)
    return false;
  // Raw scanlines: a filter byte (0, none) then R, G, B per pixel.
  size_t rowBytes = 1 + (size_t)s.width * 3;
  std::vector<uint8_t> raw(rowBytes * s.height);
  for (int r = 0; r < s.height; r++) {
    uint8_t* out = raw.data() + rowBytes * r;
    *out++ = 0;
    const uint32_t* in = s.pixels.data() + (size_t)r * s.width;
    for (int c = 0; c < s.width; c++) {
      *out++ = (uint8_t)(in[c] >> 16);
      *out++ = (uint8_t)(in[c] >> 8);
      *out++ = (uint8_t)in[c];
    }
  }
  uLongf packedSize = compressBound((uLong)raw.size());
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), (uLong)raw.size(), 6) != Z_OK) return false;

  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  put32(header, (uint32_t)s.width);
  put32(header, (uint32_t)s.height);
  header.insert(header.end(),
                {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter set, no interlace
  putChunk(file, "IHDR", header.data(), header.size());
  putChunk(file, "IDAT", packed.data(), packedSize);
  putChunk(file, "IEND", nullptr, 0);

  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  if (std::fclose(f) != 0) ok = false;
  return ok;
}
