// Windows bitmap files (.bmp): uncompressed 1, 4, 8 (palette), 16, 24 and
// 32 bits per pixel, bottom-up or top-down, with the 12-byte core header,
// the 40-byte info header or any of its longer versions. Every read is
// checked against the end of the data; a damaged file is refused with a
// reason, never half-read.
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/sprite.h"

namespace {

// Pictures larger than this are taken for damage, not art.
constexpr int64_t MAX_SIDE = 32768;
constexpr int64_t MAX_PIXELS = int64_t{1} << 26;
constexpr long MAX_FILE_BYTES = 512L << 20;

uint32_t le16(const uint8_t* p) { return (uint32_t)p[0] | (uint32_t)p[1] << 8; }
uint32_t le32(const uint8_t* p) {
  return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

bool fail(const char** error, const char* why) {
  if (error) *error = why;
  return false;
}

// One colour channel described by a bit mask of a 16- or 32-bit pixel.
struct Channel {
  int shift = 0;
  int bits = 0;
};

bool channelFromMask(uint32_t mask, Channel* c) {
  if (mask == 0) return false;
  int shift = 0;
  while (!(mask & 1)) mask >>= 1, shift++;
  int bits = 0;
  while (mask & 1) mask >>= 1, bits++;
  if (mask != 0) return false;  // the bits must be contiguous
  c->shift = shift;
  c->bits = bits;
  return true;
}

// Widens a channel to 8 bits by repeating its bits (31 -> 255, 0 -> 0).
uint32_t channelValue(uint32_t v, const Channel& c) {
  uint32_t x = (v >> c.shift) & ((c.bits >= 32) ? 0xFFFFFFFFu : ((1u << c.bits) - 1));
  if (c.bits >= 8) return x >> (c.bits - 8);
  uint32_t out = 0;
  int filled = 0;
  while (filled < 8) {
    out = (out << c.bits) | x;
    filled += c.bits;
  }
  return (out >> (filled - 8)) & 0xFF;
}

}  // namespace

bool decodeBitmap(const uint8_t* data, size_t size, SpriteSurface* out, const char** error) {
  if (!data || size < 14 + 12) return fail(error, "file too short for a bitmap header");
  if (data[0] != 'B' || data[1] != 'M') return fail(error, "not a bitmap file (no BM signature)");
  uint32_t pixelOffset = le32(data + 10);
  const uint8_t* info = data + 14;
  uint32_t headerSize = le32(info);
  if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 &&
      headerSize != 108 && headerSize != 124)
    return fail(error, "unknown bitmap header size");
  if (14 + (uint64_t)headerSize > size) return fail(error, "bitmap header runs past the file end");

  bool core = headerSize == 12;
  int64_t width, height;
  uint32_t planes, bpp, compression = 0, colorsUsed = 0;
  if (core) {
    width = (int16_t)le16(info + 4);
    height = (int16_t)le16(info + 6);
    planes = le16(info + 8);
    bpp = le16(info + 10);
  } else {
    width = (int32_t)le32(info + 4);
    height = (int32_t)le32(info + 8);
    planes = le16(info + 12);
    bpp = le16(info + 14);
    compression = le32(info + 16);
    colorsUsed = le32(info + 32);
  }
  bool topDown = height < 0;
  if (topDown) height = -height;
  if (planes != 1) return fail(error, "bitmap plane count is not 1");
  if (width <= 0 || height <= 0) return fail(error, "bitmap has no pixels (zero or negative size)");
  if (width > MAX_SIDE || height > MAX_SIDE || width * height > MAX_PIXELS)
    return fail(error, "bitmap size is absurdly large");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return fail(error, "unsupported bits per pixel");

  // Colour masks of 16- and 32-bit pixels.
  Channel red, green, blue;
  size_t afterHeader = 14 + headerSize;
  if (compression == 3) {  // BI_BITFIELDS
    if (bpp != 16 && bpp != 32) return fail(error, "bit-field masks need 16 or 32 bits per pixel");
    const uint8_t* masks = info + 40;
    if (headerSize == 40) {
      if (afterHeader + 12 > size) return fail(error, "bit-field masks run past the file end");
      afterHeader += 12;
    }
    if (!channelFromMask(le32(masks), &red) || !channelFromMask(le32(masks + 4), &green) ||
        !channelFromMask(le32(masks + 8), &blue))
      return fail(error, "bit-field masks are empty or broken");
  } else if (compression != 0) {
    return fail(error, "compressed bitmaps are not supported");
  } else if (bpp == 16) {
    channelFromMask(0x7C00, &red);
    channelFromMask(0x03E0, &green);
    channelFromMask(0x001F, &blue);
  } else {
    channelFromMask(0xFF0000, &red);
    channelFromMask(0x00FF00, &green);
    channelFromMask(0x0000FF, &blue);
  }

  // Palette: right after the header (and masks).
  uint32_t palette[256] = {};
  uint32_t paletteCount = 0;
  if (bpp <= 8) {
    uint32_t most = 1u << bpp;
    paletteCount = (core || colorsUsed == 0) ? most : colorsUsed;
    if (paletteCount > most) paletteCount = most;  // entries past 2^bpp cannot be used
    size_t entry = core ? 3 : 4;
    if (afterHeader + (uint64_t)paletteCount * entry > size)
      return fail(error, "bitmap palette runs past the file end");
    for (uint32_t i = 0; i < paletteCount; i++) {
      const uint8_t* e = data + afterHeader + i * entry;
      palette[i] = (uint32_t)e[2] << 16 | (uint32_t)e[1] << 8 | e[0];
    }
  }

  uint64_t rowBytes = ((uint64_t)width * bpp + 7) / 8;
  uint64_t stride = ((uint64_t)width * bpp + 31) / 32 * 4;
  if (pixelOffset < afterHeader) return fail(error, "bitmap pixel offset points into the header");
  if (pixelOffset >= size) return fail(error, "bitmap pixel offset is past the file end");
  // The last row may lack its padding; every row must be there.
  uint64_t needed = stride * (uint64_t)(height - 1) + rowBytes;
  if (needed > size - pixelOffset) return fail(error, "bitmap pixel data is truncated");

  std::vector<uint32_t> pixels((size_t)(width * height));
  for (int64_t r = 0; r < height; r++) {
    const uint8_t* row = data + pixelOffset + stride * (uint64_t)r;
    int64_t outRow = topDown ? r : height - 1 - r;
    uint32_t* dst = pixels.data() + outRow * width;
    for (int64_t c = 0; c < width; c++) {
      uint32_t v;
      switch (bpp) {
        case 1:
        case 4:
        case 8: {
          uint64_t bit = (uint64_t)c * bpp;
          uint32_t byte = row[bit / 8];
          uint32_t index = (byte >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
          if (index >= paletteCount) return fail(error, "bitmap pixel refers past its palette");
          v = palette[index];
          break;
        }
        case 16: {
          uint32_t p = le16(row + c * 2);
          v = channelValue(p, red) << 16 | channelValue(p, green) << 8 | channelValue(p, blue);
          break;
        }
        case 24: {
          const uint8_t* p = row + c * 3;
          v = (uint32_t)p[2] << 16 | (uint32_t)p[1] << 8 | p[0];
          break;
        }
        default: {
          if (compression == 0) {
            v = le32(row + c * 4) & 0xFFFFFF;  // the fourth byte is unused
            break;
          }
          uint32_t p = le32(row + c * 4);
          v = channelValue(p, red) << 16 | channelValue(p, green) << 8 | channelValue(p, blue);
          break;
        }
      }
      dst[c] = v;
    }
  }
  out->width = (int)width;
  out->height = (int)height;
  out->pixels = std::move(pixels);
  out->isWindow = 0;
  return true;
}

bool readBitmapFile(const char* path, SpriteSurface* out, const char** error) {
  if (!path) return fail(error, "no file name");
  FILE* f = std::fopen(path, "rb");
  if (!f) return fail(error, "cannot open the bitmap file");
  std::vector<uint8_t> bytes;
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  long length = ok ? std::ftell(f) : -1;
  if (length < 0 || std::fseek(f, 0, SEEK_SET) != 0) {
    std::fclose(f);
    return fail(error, "cannot read the bitmap file");
  }
  if (length > MAX_FILE_BYTES) {
    std::fclose(f);
    return fail(error, "bitmap file is absurdly large");
  }
  bytes.resize((size_t)length);
  size_t got = length > 0 ? std::fread(bytes.data(), 1, bytes.size(), f) : 0;
  std::fclose(f);
  if (got != bytes.size()) return fail(error, "cannot read the bitmap file");
  return decodeBitmap(bytes.data(), bytes.size(), out, error);
}
