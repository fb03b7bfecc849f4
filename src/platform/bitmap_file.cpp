// Windows bitmap files (.bmp): uncompressed 1, 4, 8 (palette), 16, 24 and
// 32 bits per pixel, bottom-up or top-down, with the 12-byte core header,
// the 40-byte info header or any of its longer versions. Every read is
// checked against the end of the data; a damaged file is refused with a
// reason, never half-read.
#include <algorithm>
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

namespace {

// What the header says about the pixels, checked against the file's size.
struct Layout {
  int64_t width = 0, height = 0;
  uint32_t bpp = 0, compression = 0;
  bool topDown = false;
  Channel red, green, blue;
  uint32_t palette[256] = {};
  uint32_t paletteCount = 0;
  uint64_t rowBytes = 0, stride = 0;
  uint32_t pixelOffset = 0;
};

// The header, masks and palette lie within the first HEAD_BYTES of a file.
constexpr size_t HEAD_BYTES = 2048;

// data holds the file's first min(size, HEAD_BYTES) bytes; size is the
// whole file's.
bool readLayout(const uint8_t* data, size_t size, Layout* l, const char** error) {
  if (!data || size < 14 + 12) return fail(error, "file too short for a bitmap header");
  if (data[0] != 'B' || data[1] != 'M') return fail(error, "not a bitmap file (no BM signature)");
  l->pixelOffset = le32(data + 10);
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
  l->topDown = height < 0;
  if (l->topDown) height = -height;
  if (planes != 1) return fail(error, "bitmap plane count is not 1");
  if (width <= 0 || height <= 0) return fail(error, "bitmap has no pixels (zero or negative size)");
  if (width > MAX_SIDE || height > MAX_SIDE || width * height > MAX_PIXELS)
    return fail(error, "bitmap size is absurdly large");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return fail(error, "unsupported bits per pixel");

  // Colour masks of 16- and 32-bit pixels.
  size_t afterHeader = 14 + headerSize;
  if (compression == 3) {  // BI_BITFIELDS
    if (bpp != 16 && bpp != 32) return fail(error, "bit-field masks need 16 or 32 bits per pixel");
    const uint8_t* masks = info + 40;
    if (headerSize == 40) {
      if (afterHeader + 12 > size) return fail(error, "bit-field masks run past the file end");
      afterHeader += 12;
    }
    if (!channelFromMask(le32(masks), &l->red) || !channelFromMask(le32(masks + 4), &l->green) ||
        !channelFromMask(le32(masks + 8), &l->blue))
      return fail(error, "bit-field masks are empty or broken");
  } else if (compression != 0) {
    return fail(error, "compressed bitmaps are not supported");
  } else if (bpp == 16) {
    channelFromMask(0x7C00, &l->red);
    channelFromMask(0x03E0, &l->green);
    channelFromMask(0x001F, &l->blue);
  } else {
    channelFromMask(0xFF0000, &l->red);
    channelFromMask(0x00FF00, &l->green);
    channelFromMask(0x0000FF, &l->blue);
  }

  // Palette: right after the header (and masks).
  if (bpp <= 8) {
    uint32_t most = 1u << bpp;
    uint32_t count = (core || colorsUsed == 0) ? most : colorsUsed;
    if (count > most) count = most;  // entries past 2^bpp cannot be used
    size_t entry = core ? 3 : 4;
    if (afterHeader + (uint64_t)count * entry > size)
      return fail(error, "bitmap palette runs past the file end");
    for (uint32_t i = 0; i < count; i++) {
      const uint8_t* e = data + afterHeader + i * entry;
      l->palette[i] = (uint32_t)e[2] << 16 | (uint32_t)e[1] << 8 | e[0];
    }
    l->paletteCount = count;
  }

  l->rowBytes = ((uint64_t)width * bpp + 7) / 8;
  l->stride = ((uint64_t)width * bpp + 31) / 32 * 4;
  if (l->pixelOffset < afterHeader)
    return fail(error, "bitmap pixel offset points into the header");
  if (l->pixelOffset >= size) return fail(error, "bitmap pixel offset is past the file end");
  // The last row may lack its padding; every row must be there.
  uint64_t needed = l->stride * (uint64_t)(height - 1) + l->rowBytes;
  if (needed > size - l->pixelOffset) return fail(error, "bitmap pixel data is truncated");
  l->width = width;
  l->height = height;
  l->bpp = bpp;
  l->compression = compression;
  return true;
}

// One row of the file as 0x00RRGGBB pixels.
bool decodeRow(const Layout& l, const uint8_t* row, uint32_t* dst, const char** error) {
  const int64_t width = l.width;
  if (l.bpp == 24) {
    for (int64_t c = 0; c < width; c++, row += 3)
      dst[c] = (uint32_t)row[2] << 16 | (uint32_t)row[1] << 8 | row[0];
    return true;
  }
  if (l.bpp == 32 && l.compression == 0) {
    std::memcpy(dst, row, (size_t)width * 4);                // little-endian 0x00RRGGBB words
    for (int64_t c = 0; c < width; c++) dst[c] &= 0xFFFFFF;  // the fourth byte is unused
    return true;
  }
  for (int64_t c = 0; c < width; c++) {
    uint32_t v;
    if (l.bpp <= 8) {
      uint64_t bit = (uint64_t)c * l.bpp;
      uint32_t byte = row[bit / 8];
      uint32_t index = (byte >> (8 - l.bpp - bit % 8)) & ((1u << l.bpp) - 1);
      if (index >= l.paletteCount) return fail(error, "bitmap pixel refers past its palette");
      v = l.palette[index];
    } else {
      uint32_t p = l.bpp == 16 ? le16(row + c * 2) : le32(row + c * 4);
      v = channelValue(p, l.red) << 16 | channelValue(p, l.green) << 8 | channelValue(p, l.blue);
    }
    dst[c] = v;
  }
  return true;
}

// What is kept of a picture: its top-left keepW x keepH, scaled by
// den / num (kept pixel (c, r) is the picture's (c * num / den,
// r * num / den)).
struct Keep {
  int num = 1, den = 1;
  int64_t keepW = 0, keepH = 0;  // 0: all
  int64_t outW = 0, outH = 0;
  std::vector<uint32_t> row;  // one decoded row of the picture
};

void startKeeping(const Layout& l, Keep* k, SpriteSurface* out) {
  k->keepW = k->keepW > 0 ? std::min(k->keepW, l.width) : l.width;
  k->keepH = k->keepH > 0 ? std::min(k->keepH, l.height) : l.height;
  k->outW = k->keepW * k->den / k->num;
  k->outH = k->keepH * k->den / k->num;
  k->row.resize((size_t)l.width);
  out->width = (int)k->outW;
  out->height = (int)k->outH;
  out->pixels.assign((size_t)(k->outW * k->outH), 0);
  out->isWindow = 0;
}

// Decodes the picture's row pictureRow from the file row at bytes into
// every kept row taken from it (none: it is not decoded at all).
bool keepRow(const Layout& l, Keep& k, int64_t pictureRow, const uint8_t* bytes, SpriteSurface* out,
             const char** error) {
  int64_t r = (pictureRow * k.den + k.num - 1) / k.num;  // the first kept row taken from it
  if (r >= k.outH || r * k.num / k.den != pictureRow) return true;
  if (!decodeRow(l, bytes, k.row.data(), error)) return false;
  for (; r < k.outH && r * k.num / k.den == pictureRow; r++) {
    uint32_t* dst = out->pixels.data() + r * k.outW;
    if (k.num == k.den) {
      std::memcpy(dst, k.row.data(), (size_t)k.outW * 4);
    } else {
      for (int64_t c = 0; c < k.outW; c++) dst[c] = k.row[(size_t)(c * k.num / k.den)];
    }
  }
  return true;
}

int64_t pictureRowOf(const Layout& l, int64_t fileRow) {
  return l.topDown ? fileRow : l.height - 1 - fileRow;
}

// Rows are read this many bytes at a time, so that a picture is never held
// twice (as file bytes and as pixels).
constexpr uint64_t CHUNK_BYTES = 256 << 10;

bool readBitmap(const char* path, Keep keep, SpriteSurface* out, const char** error) {
  if (!path) return fail(error, "no file name");
  FILE* f = std::fopen(path, "rb");
  if (!f) return fail(error, "cannot open the bitmap file");
  struct Closer {
    FILE* f;
    ~Closer() { std::fclose(f); }
  } closer{f};
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  long length = ok ? std::ftell(f) : -1;
  if (length < 0 || std::fseek(f, 0, SEEK_SET) != 0)
    return fail(error, "cannot read the bitmap file");
  if (length > MAX_FILE_BYTES) return fail(error, "bitmap file is absurdly large");
  uint8_t head[HEAD_BYTES];
  size_t headBytes = std::min((size_t)length, HEAD_BYTES);
  if (std::fread(head, 1, headBytes, f) != headBytes)
    return fail(error, "cannot read the bitmap file");
  Layout l;
  if (!readLayout(head, (size_t)length, &l, error)) return false;
  if (!out) return true;  // the header was all that was asked for
  SpriteSurface picture;
  startKeeping(l, &keep, &picture);
  if (std::fseek(f, (long)l.pixelOffset, SEEK_SET) != 0)
    return fail(error, "cannot read the bitmap file");
  const int64_t rowsPerChunk = (int64_t)std::max<uint64_t>(1, CHUNK_BYTES / l.stride);
  std::vector<uint8_t> chunk((size_t)(l.stride * (uint64_t)rowsPerChunk));
  for (int64_t first = 0; first < l.height; first += rowsPerChunk) {
    int64_t rows = std::min(rowsPerChunk, l.height - first);
    // The last row may lack its padding.
    size_t bytes = (size_t)(l.stride * (uint64_t)(rows - 1) + l.rowBytes);
    if (std::fread(chunk.data(), 1, bytes, f) != bytes)
      return fail(error, "cannot read the bitmap file");
    if (rows == rowsPerChunk && first + rows < l.height) {
      // Skip the padding of the chunk's last row.
      if (std::fseek(f, (long)(l.stride - l.rowBytes), SEEK_CUR) != 0)
        return fail(error, "cannot read the bitmap file");
    }
    for (int64_t i = 0; i < rows; i++) {
      if (!keepRow(l, keep, pictureRowOf(l, first + i), chunk.data() + l.stride * (uint64_t)i,
                   &picture, error))
        return false;
    }
  }
  *out = std::move(picture);
  return true;
}

}  // namespace

bool decodeBitmap(const uint8_t* data, size_t size, SpriteSurface* out, const char** error) {
  Layout l;
  if (!readLayout(data, size, &l, error)) return false;
  Keep keep;
  SpriteSurface picture;
  startKeeping(l, &keep, &picture);
  for (int64_t r = 0; r < l.height; r++) {
    if (!keepRow(l, keep, pictureRowOf(l, r), data + l.pixelOffset + l.stride * (uint64_t)r,
                 &picture, error))
      return false;
  }
  *out = std::move(picture);
  return true;
}

bool readBitmapFile(const char* path, SpriteSurface* out, const char** error) {
  return readBitmap(path, Keep{}, out, error);
}

bool checkBitmapFile(const char* path, const char** error) {
  return readBitmap(path, Keep{}, nullptr, error);
}

bool readBitmapFileKept(const char* path, int num, int den, int keepW, int keepH,
                        SpriteSurface* out, const char** error) {
  Keep keep;
  keep.num = std::max(num, 1);
  keep.den = std::max(den, 1);
  keep.keepW = keepW;
  keep.keepH = keepH;
  return readBitmap(path, std::move(keep), out, error);
}
