// Bitmap files in and PNG pictures out; damaged bitmaps are refused.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <memory>
#include <stdexcept>

#include "platform/sprite.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Writes v in n bytes at b[at], lowest byte first.
void put(Bytes& b, size_t at, uint32_t v, int n = 4) {
  for (int i = 0; i < n; i++) b[at + i] = (uint8_t)(v >> (8 * i));
}

const uint32_t PALETTE[16] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456,
                              0xABCDEF, 0x808080, 0x400000, 0x004000, 0x000040, 0xC0C000,
                              0x00C0C0, 0xC000C0, 0x102030, 0xF0E0D0};

// A test picture: every pixel distinct enough, never a colour twice in a row.
std::vector<uint32_t> testPixels(int w, int h, int colours) {
  std::vector<uint32_t> p((size_t)w * h);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      int i = (x * 7 + y * 3) % 16;
      p[(size_t)y * w + x] =
          colours <= 16
              ? PALETTE[i % colours]
              : (uint32_t)((x * 40 & 0xFF) << 16 | (y * 50 & 0xFF) << 8 | ((x + y) * 9 & 0xFF));
    }
  return p;
}

struct BmpSpec {
  int width = 5, height = 3, bpp = 24;
  bool topDown = false;
  uint32_t headerSize = 40;
  bool bitfields = false;
  int paletteSize = 0;  // 0: all 2^bpp entries (given as 0 in the header)
};

// Writes a bitmap of the given layout holding pixels (palette pictures use the
// colours of testPixels in order).
Bytes makeBmp(const BmpSpec& s, const std::vector<uint32_t>& pixels,
              const std::vector<uint32_t>& palette = {}) {
  bool core = s.headerSize == 12;
  int paletteEntries = s.bpp <= 8 ? (s.paletteSize ? s.paletteSize : 1 << s.bpp) : 0;
  int entryBytes = core ? 3 : 4;
  int maskBytes = s.bitfields && s.headerSize == 40 ? 12 : 0;
  size_t stride = ((size_t)s.width * s.bpp + 31) / 32 * 4;
  size_t offset = 14 + s.headerSize + maskBytes + paletteEntries * entryBytes;
  Bytes b(offset + stride * s.height, 0);
  b[0] = 'B';
  b[1] = 'M';
  put(b, 2, (uint32_t)b.size());
  put(b, 10, (uint32_t)offset);
  put(b, 14, s.headerSize);
  if (core) {
    const int fields[] = {s.width, s.height, 1, s.bpp};
    for (int k = 0; k < 4; k++) put(b, 18 + 2 * k, (uint32_t)fields[k], 2);
  } else {
    put(b, 18, (uint32_t)s.width);
    put(b, 22, (uint32_t)(s.topDown ? -s.height : s.height));
    put(b, 26, 1, 2);
    put(b, 28, s.bpp, 2);
    put(b, 30, s.bitfields ? 3 : 0);
    put(b, 46, (uint32_t)s.paletteSize);
    if (s.bitfields)  // red, green and blue masks after the 40-byte header
      for (int k = 0; k < 3; k++) put(b, 54 + 4 * k, 0xFF0000u >> (8 * k));
  }
  size_t pal = 14 + s.headerSize + maskBytes;
  for (int i = 0; i < paletteEntries && i < (int)palette.size(); i++) {
    for (int k = 0; k < 3; k++) b[pal + i * entryBytes + k] = (uint8_t)(palette[i] >> (8 * k));
  }
  for (int y = 0; y < s.height; y++) {
    int fileRow = s.topDown ? y : s.height - 1 - y;
    uint8_t* row = b.data() + offset + stride * fileRow;
    for (int x = 0; x < s.width; x++) {
      uint32_t v = pixels[(size_t)y * s.width + x];
      switch (s.bpp) {
        case 1:
        case 4:
        case 8: {
          uint32_t index = 0;
          while (index < palette.size() && palette[index] != v) index++;
          int bit = x * s.bpp;
          row[bit / 8] |= (uint8_t)(index << (8 - s.bpp - bit % 8));
          break;
        }
        case 16: {
          uint32_t r = (v >> 19) & 31, g = (v >> 11) & 31, bl = (v >> 3) & 31;
          uint32_t p = r << 10 | g << 5 | bl;
          row[x * 2] = (uint8_t)p;
          row[x * 2 + 1] = (uint8_t)(p >> 8);
          break;
        }
        default:  // 24 and 32 bpp: blue, green, red, then an unused byte
          for (int k = 0; k < 3; k++) row[x * s.bpp / 8 + k] = (uint8_t)(v >> (8 * k));
          if (s.bpp == 32) row[x * 4 + 3] = 0xAB;
      }
    }
  }
  return b;
}

std::vector<uint32_t> firstColours(int n) {
  // The colours of testPixels, in the same order.
  std::vector<uint32_t> out;
  for (int i = 0; i < n && i < 16; i++) out.push_back(PALETTE[i]);
  for (int i = 16; i < n; i++) out.push_back(0x010101u * (uint32_t)i);
  return out;
}

// Decodes from a heap block of exactly the given length, so that a read past
// the end is a read outside the block.
bool decodeExact(const Bytes& b, size_t length, SpriteSurface* out, const char** error) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[length ? length : 1]);
  if (length) std::memcpy(copy.get(), b.data(), length);
  return decodeBitmap(copy.get(), length, out, error);
}

TEST(BitmapFile, DecodesEveryDepthBothWays) {
  for (int bpp : {1, 4, 8, 16, 24, 32})
    for (bool topDown : {false, true})
      for (int width : {1, 3, 5, 8, 13}) {
        BmpSpec s{.width = width, .height = 4, .bpp = bpp, .topDown = topDown};
        int colours = bpp <= 8 ? std::min(1 << bpp, 16) : 256;
        std::vector<uint32_t> pal = bpp <= 8 ? firstColours(1 << bpp) : std::vector<uint32_t>{};
        std::vector<uint32_t> px = testPixels(s.width, s.height, colours);
        if (bpp == 16)  // 5 bits per channel, widened by repeating the top bits
          for (uint32_t& v : px) {
            uint32_t r = (v >> 19) & 31, g = (v >> 11) & 31, b = (v >> 3) & 31;
            v = (r << 3 | r >> 2) << 16 | (g << 3 | g >> 2) << 8 | (b << 3 | b >> 2);
          }
        SpriteSurface out;
        Bytes file = makeBmp(s, px, pal);
        ASSERT_TRUE(decodeBitmap(file.data(), file.size(), &out, nullptr)) << bpp << " bpp";
        EXPECT_EQ(std::pair(out.width, out.height), std::pair(width, 4));
        EXPECT_EQ(out.pixels, px) << bpp << " bpp, top-down " << topDown << ", width " << width;
      }
}

// The pixels a whole file decodes to (none when it is refused).
std::vector<uint32_t> decoded(const Bytes& file) {
  SpriteSurface out;
  const char* error = nullptr;
  if (!decodeBitmap(file.data(), file.size(), &out, &error)) ADD_FAILURE() << error;
  return out.pixels;
}

TEST(BitmapFile, LongerHeadersCoreHeaderAndBitfields) {
  std::vector<uint32_t> px = testPixels(6, 5, 256);
  for (uint32_t header : {52u, 56u, 108u, 124u})
    EXPECT_EQ(decoded(makeBmp({.width = 6, .height = 5, .headerSize = header}, px)), px) << header;
  for (uint32_t header : {40u, 108u})
    EXPECT_EQ(decoded(makeBmp({6, 5, 32, false, header, true}, px)), px) << header;
  std::vector<uint32_t> ppx = testPixels(6, 5, 16);
  EXPECT_EQ(decoded(makeBmp({.width = 6, .height = 5, .bpp = 8, .headerSize = 12}, ppx,
                            firstColours(256))),
            ppx);
}

TEST(BitmapFile, ShortPaletteAndIndexPastIt) {
  std::vector<uint32_t> pal = {0x112233, 0x445566, 0x778899};
  std::vector<uint32_t> px = {0x112233, 0x445566, 0x778899, 0x112233,
                              0x778899, 0x778899, 0x445566, 0x112233};
  Bytes file = makeBmp({.width = 4, .height = 2, .bpp = 8, .paletteSize = 3}, px, pal);
  EXPECT_EQ(decoded(file), px);
  file[file.size() - 1] = 3;  // one past the palette
  const char* error = nullptr;
  SpriteSurface bad;
  EXPECT_FALSE(decodeBitmap(file.data(), file.size(), &bad, &error));
  ASSERT_NE(error, nullptr);
  EXPECT_NE(std::string(error).find("palette"), std::string::npos);
  EXPECT_EQ(bad.width, 0);  // nothing half-decoded
}

TEST(BitmapFile, EveryTruncationIsRefusedCleanly) {
  // Files and how many bytes of their last row are padding only.
  const std::pair<Bytes, size_t> files[] = {
      {makeBmp({}, testPixels(5, 3, 256)), 1},  // 24 bpp, 5 wide: 15 bytes a row
      {makeBmp({.width = 4, .height = 3, .bpp = 8, .paletteSize = 16}, testPixels(4, 3, 16),
               firstColours(16)),
       0},
      {makeBmp({.width = 9, .height = 2, .bpp = 1, .topDown = true}, testPixels(9, 2, 2),
               firstColours(2)),
       2},
      {makeBmp({2, 2, 32, false, 40, true}, testPixels(2, 2, 256)), 0},
  };
  for (const auto& [file, padding] : files) {
    SpriteSurface whole;
    ASSERT_TRUE(decodeExact(file, file.size(), &whole, nullptr));
    for (size_t n = 0; n < file.size(); n++) {
      SpriteSurface out;
      const char* error = nullptr;
      bool ok = decodeExact(file, n, &out, &error);
      if (n >= file.size() - padding) {
        // Only the last row's padding is missing: the picture is whole.
        ASSERT_TRUE(ok) << "cut at " << n;
        EXPECT_EQ(out.pixels, whole.pixels);
      } else {
        ASSERT_FALSE(ok) << "cut at " << n;
        ASSERT_NE(error, nullptr);
        EXPECT_GT(std::strlen(error), 0u);
        EXPECT_TRUE(out.pixels.empty());
      }
    }
  }
}

TEST(BitmapFile, DamagedHeadersAreRefused) {
  const Bytes good = makeBmp({}, testPixels(5, 3, 256));
  struct Damage {
    const char* what;
    size_t at;
    uint32_t value;
    int bytes;
  };
  const Damage damages[] = {
      {"magic", 0, 'X', 1},
      {"pixel offset past the end", 10, 100000, 4},
      {"pixel offset at the end", 10, (uint32_t)good.size(), 4},
      {"pixel offset into the header", 10, 20, 4},
      {"pixel offset wrapping", 10, 0xFFFFFFF0u, 4},
      {"header size zero", 14, 0, 4},
      {"header size huge", 14, 0x7FFFFFFF, 4},
      {"width zero", 18, 0, 4},
      {"width negative", 18, (uint32_t)-5, 4},
      {"height most negative", 22, 0x80000000u, 4},
      {"height huge", 22, 100000, 4},
      {"width and height overflow", 18, 0x7FFFFFFF, 4},
      {"planes", 26, 2, 2},
      {"bits per pixel", 28, 7, 2},
      {"compression RLE8", 30, 1, 4},
      {"bit fields on 24 bpp", 30, 3, 4},
  };
  for (const Damage& d : damages) {
    Bytes bad = good;
    put(bad, d.at, d.value, d.bytes);
    SpriteSurface out;
    const char* error = nullptr;
    EXPECT_FALSE(decodeExact(bad, bad.size(), &out, &error)) << d.what;
    EXPECT_NE(error, nullptr) << d.what;
  }
  // A large picture claimed by a small file.
  Bytes big = good;
  put(big, 18, 4000);
  put(big, 22, 4000);
  SpriteSurface out;
  const char* error = nullptr;
  EXPECT_FALSE(decodeExact(big, big.size(), &out, &error));
  EXPECT_STREQ(error, "bitmap pixel data is truncated");
  // Broken bit-field masks.
  Bytes masks = makeBmp({5, 3, 32, false, 40, true}, testPixels(5, 3, 256));
  put(masks, 54, 0x00F0F000);  // not contiguous
  EXPECT_FALSE(decodeExact(masks, masks.size(), &out, &error));
  put(masks, 54, 0);
  EXPECT_FALSE(decodeExact(masks, masks.size(), &out, &error));
  EXPECT_FALSE(decodeBitmap(nullptr, 0, &out, &error));
}

class BitmapFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    headlessReset();
    resetDisplayState();
    display.scaleMode = 0;
    dir = folder.path();
    std::filesystem::create_directories(dir / "image");
    old = std::filesystem::current_path();
    std::filesystem::current_path(dir);
  }
  void TearDown() override {
    std::filesystem::current_path(old);
    resetDisplayState();
    headless.onTerminate = nullptr;
  }
  TempFolder folder{"puxten-bmp"};
  std::filesystem::path dir, old;
};

TEST_F(BitmapFiles, LoadsJapaneseFileNamesAndEnlargesInScaleModeOne) {
  std::vector<uint32_t> px = {0xFF0000, 0x0000FF, 0x00FF00, 0x000001};
  writeFile("image/床.bmp", makeBmp({.width = 2, .height = 2}, px));
  SpriteSurface out;
  const char* error = nullptr;
  ASSERT_TRUE(readBitmapFile("image/床.bmp", &out, &error)) << error;
  EXPECT_EQ(out.pixels, px);

  Sprite plain = loadSprite("image/床.bmp");
  EXPECT_EQ(plain->width, 2);
  EXPECT_EQ(plain->pixels, px);
  freeSprite(plain);

  display.scaleMode = 1;
  Sprite big = loadSprite("image/床.bmp");
  ASSERT_EQ(big->width, 4);
  ASSERT_EQ(big->height, 4);
  std::vector<uint32_t> doubled = {0xFF0000, 0xFF0000, 0x0000FF, 0x0000FF, 0xFF0000, 0xFF0000,
                                   0x0000FF, 0x0000FF, 0x00FF00, 0x00FF00, 0x000001, 0x000001,
                                   0x00FF00, 0x00FF00, 0x000001, 0x000001};
  EXPECT_EQ(big->pixels, doubled);
  freeSprite(big);
  EXPECT_TRUE(headless.messageBoxes.empty());
}

// Large files are read a few rows at a time: the pieces must join into the
// whole picture, and a part kept at another scale must pick the right pixels.
class BitmapFilesInPieces : public BitmapFiles, public testing::WithParamInterface<BmpSpec> {};

TEST_P(BitmapFilesInPieces, GiveTheWholePictureOrThePartKept) {
  BmpSpec s = GetParam();
  s.width = 333;  // rows of 999 or 1332 bytes: padded, and many to a piece
  s.height = 700;
  std::vector<uint32_t> pal = s.bpp <= 8 ? firstColours(1 << s.bpp) : std::vector<uint32_t>{};
  std::vector<uint32_t> px = testPixels(s.width, s.height, s.bpp <= 8 ? 16 : 256);
  Bytes file = makeBmp(s, px, pal);
  writeFile("image/big.bmp", file);
  SpriteSurface whole, kept;
  const char* error = nullptr;
  ASSERT_TRUE(readBitmapFile("image/big.bmp", &whole, &error)) << error;
  EXPECT_EQ(whole.pixels, px);
  ASSERT_TRUE(readBitmapFileKept("image/big.bmp", 5, 2, 301, 0, &kept, &error)) << error;
  ASSERT_EQ(kept.width, 301 * 2 / 5);
  ASSERT_EQ(kept.height, 700 * 2 / 5);
  for (int r = 0; r < kept.height; r += 7)
    for (int c = 0; c < kept.width; c += 3)
      ASSERT_EQ(kept.pixels[(size_t)r * kept.width + c], px[(size_t)(r * 5 / 2) * 333 + c * 5 / 2]);
  // Rows missing: refused, and the header check alone sees it too.
  file.resize(file.size() - 2000);
  writeFile("image/big.bmp", file);
  EXPECT_FALSE(readBitmapFile("image/big.bmp", &whole, &error));
  EXPECT_FALSE(checkBitmapFile("image/big.bmp", &error));
  EXPECT_STREQ(error, "bitmap pixel data is truncated");
}

BmpSpec layout(int bpp, bool topDown) { return {.bpp = bpp, .topDown = topDown}; }
INSTANTIATE_TEST_SUITE_P(Layouts, BitmapFilesInPieces,
                         testing::Values(layout(24, false), layout(24, true), layout(32, false),
                                         layout(8, false)),
                         [](const auto& info) {
                           return std::to_string(info.param.bpp) +
                                  (info.param.topDown ? "BitsTopDown" : "BitsBottomUp");
                         });

TEST_F(BitmapFiles, MissingOrDamagedPictureEndsTheProgram) {
  struct Ended : std::runtime_error {
    int code;
    explicit Ended(int c) : std::runtime_error("ended"), code(c) {}
  };
  headless.onTerminate = [](int code) { throw Ended(code); };
  for (const char* path : {"image/none.bmp", "image/broken.bmp"}) {
    writeFile("image/broken.bmp", Bytes{'B', 'M', 1, 2, 3});
    headless.messageBoxes.clear();
    int code = -1;
    try {
      loadSprite(path);
    } catch (const Ended& e) {
      code = e.code;
    }
    EXPECT_EQ(code, 1) << path;
    ASSERT_EQ(headless.messageBoxes.size(), 1u);
    EXPECT_EQ(headless.messageBoxes[0], std::string("エラー|Bitmapロードエラー:") + path);
  }
  SpriteSurface out;
  const char* error = nullptr;
  EXPECT_FALSE(readBitmapFile("image/none.bmp", &out, &error));
  EXPECT_NE(error, nullptr);
  EXPECT_FALSE(readBitmapFile("image", &out, &error));  // a folder
}

// Reads one chunk at p: returns its type and data, checks its CRC.
bool readChunk(const Bytes& f, size_t* p, std::string* type, Bytes* data) {
  if (*p + 12 > f.size()) return false;
  uint32_t n = (uint32_t)f[*p] << 24 | f[*p + 1] << 16 | f[*p + 2] << 8 | f[*p + 3];
  if (*p + 12 + n > f.size()) return false;
  type->assign((const char*)&f[*p + 4], 4);
  data->assign(f.begin() + *p + 8, f.begin() + *p + 8 + n);
  uint32_t crc = (uint32_t)crc32(0, &f[*p + 4], 4 + n);
  size_t c = *p + 8 + n;
  uint32_t stored = (uint32_t)f[c] << 24 | f[c + 1] << 16 | f[c + 2] << 8 | f[c + 3];
  *p = c + 4;
  return crc == stored;
}

TEST_F(BitmapFiles, WritesValidPng) {
  SpriteSurface s;
  s.width = 3;
  s.height = 2;
  s.pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000};
  ASSERT_TRUE(writePng("shot.png", s));
  const std::string text = readFile("shot.png");
  const Bytes file(text.begin(), text.end());
  const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ASSERT_GT(file.size(), 8u);
  EXPECT_EQ(std::memcmp(file.data(), sig, 8), 0);
  size_t p = 8;
  std::string type;
  Bytes data, idat;
  ASSERT_TRUE(readChunk(file, &p, &type, &data));
  EXPECT_EQ(type, "IHDR");
  ASSERT_EQ(data.size(), 13u);
  EXPECT_EQ(data[3], 3);  // width
  EXPECT_EQ(data[7], 2);  // height
  EXPECT_EQ(data[8], 8);  // bit depth
  EXPECT_EQ(data[9], 2);  // RGB
  while (p < file.size()) {
    ASSERT_TRUE(readChunk(file, &p, &type, &data)) << type;
    if (type == "IDAT") idat.insert(idat.end(), data.begin(), data.end());
  }
  EXPECT_EQ(type, "IEND");
  Bytes raw(2 * (1 + 9));
  uLongf rawSize = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &rawSize, idat.data(), idat.size()), Z_OK);
  ASSERT_EQ(rawSize, raw.size());
  Bytes expect = {0, 0xFF, 0,    0,    0,    0xFF, 0,    0, 0, 0xFF,
                  0, 0x12, 0x34, 0x56, 0xFF, 0xFF, 0xFF, 0, 0, 0};
  EXPECT_EQ(raw, expect);

  SpriteSurface empty;
  EXPECT_FALSE(writePng("empty.png", empty));
  EXPECT_FALSE(writePng("no/such/folder/x.png", s));
}

}  // namespace
