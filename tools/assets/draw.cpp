#include "draw.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <filesystem>

uint32_t mix(uint32_t a, uint32_t b, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  auto ch = [&](int x, int y) { return int(std::lround(x + (y - x) * t)); };
  return rgb(ch(redOf(a), redOf(b)), ch(greenOf(a), greenOf(b)), ch(blueOf(a), blueOf(b)));
}
uint32_t scaleColour(uint32_t c, float f) {
  auto ch = [&](int x) { return std::clamp(int(std::lround(x * f)), 0, 255); };
  return rgb(ch(redOf(c)), ch(greenOf(c)), ch(blueOf(c)));
}
uint32_t lighten(uint32_t c, float t) { return mix(c, 0xFFFFFF, t); }
uint32_t darken(uint32_t c, float t) { return mix(c, 0x000000, t); }

Canvas::Canvas(int width, int height, uint32_t keyColour)
    : w(width), h(height), key(keyColour), px(size_t(width) * height, keyColour) {}

void Canvas::blend(int x, int y, uint32_t c, float a) {
  if (!inside(x, y) || a <= 0) return;
  set(x, y, mix(get(x, y), c, a));
}
void Canvas::clear(uint32_t c) { std::fill(px.begin(), px.end(), c); }

// Walks the pixels of a bounding box whose centres pass the test.
template <class Inside>
static void fillWhere(Canvas& c, float x0, float y0, float x1, float y1, uint32_t colour,
                      Inside inside) {
  int ix0 = std::max(0, int(std::floor(x0)) - 1), iy0 = std::max(0, int(std::floor(y0)) - 1);
  int ix1 = std::min(c.w - 1, int(std::ceil(x1)) + 1),
      iy1 = std::min(c.h - 1, int(std::ceil(y1)) + 1);
  for (int y = iy0; y <= iy1; ++y)
    for (int x = ix0; x <= ix1; ++x)
      if (inside(x + 0.5f, y + 0.5f)) c.set(x, y, colour);
}

void fillRect(Canvas& c, int x, int y, int w, int h, uint32_t colour) {
  for (int j = std::max(0, y); j < std::min(c.h, y + h); ++j)
    for (int i = std::max(0, x); i < std::min(c.w, x + w); ++i) c.set(i, j, colour);
}

void fillEllipse(Canvas& c, float cx, float cy, float rx, float ry, uint32_t colour) {
  if (rx <= 0 || ry <= 0) return;
  fillWhere(c, cx - rx, cy - ry, cx + rx, cy + ry, colour, [&](float x, float y) {
    float dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1.0f;
  });
}
void fillCircle(Canvas& c, float cx, float cy, float r, uint32_t colour) {
  fillEllipse(c, cx, cy, r, r, colour);
}
void fillRing(Canvas& c, float cx, float cy, float r0, float r1, uint32_t colour) {
  fillWhere(c, cx - r1, cy - r1, cx + r1, cy + r1, colour, [&](float x, float y) {
    float d = std::hypot(x - cx, y - cy);
    return d >= r0 && d <= r1;
  });
}

void eraseEllipse(Canvas& c, float cx, float cy, float rx, float ry) {
  for (int y = std::max(0, int(cy - ry) - 1); y <= std::min(c.h - 1, int(cy + ry) + 1); ++y)
    for (int x = std::max(0, int(cx - rx) - 1); x <= std::min(c.w - 1, int(cx + rx) + 1); ++x) {
      float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
      if (dx * dx + dy * dy <= 1) c.setKey(x, y);
    }
}

static float segmentDistance(float px, float py, float x0, float y0, float x1, float y1) {
  float vx = x1 - x0, vy = y1 - y0;
  float len2 = vx * vx + vy * vy;
  float t = len2 > 0 ? std::clamp(((px - x0) * vx + (py - y0) * vy) / len2, 0.0f, 1.0f) : 0;
  return std::hypot(px - (x0 + t * vx), py - (y0 + t * vy));
}

void fillCapsule(Canvas& c, float x0, float y0, float x1, float y1, float r, uint32_t colour) {
  fillWhere(c, std::min(x0, x1) - r, std::min(y0, y1) - r, std::max(x0, x1) + r,
            std::max(y0, y1) + r, colour,
            [&](float x, float y) { return segmentDistance(x, y, x0, y0, x1, y1) <= r; });
}

void fillRoundRect(Canvas& c, float x, float y, float w, float h, float r, uint32_t colour) {
  r = std::min({r, w / 2, h / 2});
  fillWhere(c, x, y, x + w, y + h, colour, [&](float px, float py) {
    if (px < x || py < y || px > x + w || py > y + h) return false;
    float qx = std::clamp(px, x + r, x + w - r), qy = std::clamp(py, y + r, y + h - r);
    return std::hypot(px - qx, py - qy) <= r;
  });
}

void fillPolygon(Canvas& c, const std::vector<Pt>& pts, uint32_t colour) {
  if (pts.size() < 3) return;
  float y0 = pts[0].y, y1 = pts[0].y;
  for (auto& p : pts) y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  for (int y = std::max(0, int(std::floor(y0))); y <= std::min(c.h - 1, int(std::ceil(y1))); ++y) {
    float sy = y + 0.5f;
    std::vector<float> xs;
    for (size_t i = 0; i < pts.size(); ++i) {
      Pt a = pts[i], b = pts[(i + 1) % pts.size()];
      if ((a.y <= sy && b.y > sy) || (b.y <= sy && a.y > sy))
        xs.push_back(a.x + (sy - a.y) / (b.y - a.y) * (b.x - a.x));
    }
    std::sort(xs.begin(), xs.end());
    for (size_t i = 0; i + 1 < xs.size(); i += 2)
      for (int x = std::max(0, int(std::ceil(xs[i] - 0.5f)));
           x <= std::min(c.w - 1, int(std::floor(xs[i + 1] - 0.5f))); ++x)
        c.set(x, y, colour);
  }
}

void drawLineThin(Canvas& c, int x0, int y0, int x1, int y1, uint32_t colour) {
  int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1, err = dx + dy;
  for (;;) {
    c.set(x0, y0, colour);
    if (x0 == x1 && y0 == y1) break;
    int e2 = 2 * err;
    if (e2 >= dy) err += dy, x0 += sx;
    if (e2 <= dx) err += dx, y0 += sy;
  }
}

void frameRect(Canvas& c, int x, int y, int w, int h, uint32_t colour) {
  fillRect(c, x, y, w, 1, colour);
  fillRect(c, x, y + h - 1, w, 1, colour);
  fillRect(c, x, y, 1, h, colour);
  fillRect(c, x + w - 1, y, 1, h, colour);
}

void drawSparkle(Canvas& c, float cx, float cy, float r, uint32_t colour, uint32_t core) {
  if (r < 1) {
    c.set(int(cx), int(cy), core);
    return;
  }
  float t = std::max(0.6f, r * 0.22f);
  fillPolygon(c,
              {{cx, cy - r},
               {cx + t, cy - t},
               {cx + r, cy},
               {cx + t, cy + t},
               {cx, cy + r},
               {cx - t, cy + t},
               {cx - r, cy},
               {cx - t, cy - t}},
              colour);
  fillCircle(c, cx, cy, std::max(0.7f, t * 0.9f), core);
}

void outlineOpaque(Canvas& c, uint32_t colour, bool diagonal) {
  std::vector<uint8_t> solid(c.px.size());
  for (size_t i = 0; i < c.px.size(); ++i) solid[i] = c.px[i] != c.key;
  auto at = [&](int x, int y) { return c.inside(x, y) && solid[size_t(y) * c.w + x]; };
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      if (at(x, y)) continue;
      bool n = at(x - 1, y) || at(x + 1, y) || at(x, y - 1) || at(x, y + 1);
      if (diagonal)
        n = n || at(x - 1, y - 1) || at(x + 1, y - 1) || at(x - 1, y + 1) || at(x + 1, y + 1);
      if (n) c.set(x, y, colour);
    }
}

void paste(Canvas& dst, const Canvas& src, int x, int y) {
  for (int j = 0; j < src.h; ++j)
    for (int i = 0; i < src.w; ++i)
      if (dst.inside(x + i, y + j)) {
        uint32_t p = src.px[size_t(j) * src.w + i];
        dst.px[size_t(y + j) * dst.w + x + i] = p == src.key ? dst.key : p;
      }
}
void pasteKeyed(Canvas& dst, const Canvas& src, int x, int y) {
  for (int j = 0; j < src.h; ++j)
    for (int i = 0; i < src.w; ++i) {
      uint32_t p = src.px[size_t(j) * src.w + i];
      if (p != src.key) dst.set(x + i, y + j, p);
    }
}
void pasteRegion(Canvas& dst, int dx, int dy, const Canvas& src, int sx, int sy, int w, int h) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      if (dst.inside(dx + i, dy + j) && src.inside(sx + i, sy + j))
        dst.px[size_t(dy + j) * dst.w + dx + i] = src.px[size_t(sy + j) * src.w + sx + i];
}
Canvas crop(const Canvas& src, int x, int y, int w, int h) {
  Canvas out(w, h, src.key);
  pasteRegion(out, 0, 0, src, x, y, w, h);
  return out;
}
Canvas mirrored(const Canvas& src) {
  Canvas out(src.w, src.h, src.key);
  for (int y = 0; y < src.h; ++y)
    for (int x = 0; x < src.w; ++x)
      out.px[size_t(y) * src.w + x] = src.px[size_t(y) * src.w + (src.w - 1 - x)];
  return out;
}
Canvas scaledNearest(const Canvas& src, int w, int h) {
  Canvas out(w, h, src.key);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out.px[size_t(y) * w + x] = src.get(x * src.w / w, y * src.h / h);
  return out;
}
Canvas scaledBox(const Canvas& src, int w, int h) {
  Canvas out(w, h, src.key);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int x0 = x * src.w / w, x1 = std::max(x0 + 1, (x + 1) * src.w / w);
      int y0 = y * src.h / h, y1 = std::max(y0 + 1, (y + 1) * src.h / h);
      long r = 0, g = 0, b = 0, n = 0;
      for (int j = y0; j < y1; ++j)
        for (int i = x0; i < x1; ++i) {
          uint32_t p = src.get(i, j);
          r += redOf(p), g += greenOf(p), b += blueOf(p), ++n;
        }
      out.px[size_t(y) * w + x] = rgb(int(r / n), int(g / n), int(b / n));
    }
  return out;
}

float hashNoise(int x, int y, int seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFFFF) / float(0x1000000);
}
float valueNoise(float x, float y, int seed, int px, int py) {
  int ix = int(std::floor(x)), iy = int(std::floor(y));
  float fx = x - ix, fy = y - iy;
  fx = fx * fx * (3 - 2 * fx), fy = fy * fy * (3 - 2 * fy);
  auto wrap = [](int v, int p) { return p > 0 ? ((v % p) + p) % p : v; };
  auto n = [&](int i, int j) { return hashNoise(wrap(i, px), wrap(j, py), seed); };
  float a = n(ix, iy) + (n(ix + 1, iy) - n(ix, iy)) * fx;
  float b = n(ix, iy + 1) + (n(ix + 1, iy + 1) - n(ix, iy + 1)) * fx;
  return a + (b - a) * fy;
}
float fbm(float x, float y, int seed, int octaves, int px, int py) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * valueNoise(x, y, seed + o * 17, px, py);
    norm += amp;
    x *= 2, y *= 2, px *= 2, py *= 2, amp *= 0.5f;
  }
  return sum / norm;
}

// --- Text -------------------------------------------------------------------

static std::vector<uint32_t> decodeUtf8(const std::string& s) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = s[i];
    int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    uint32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k < n && i + k < s.size(); ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
    out.push_back(cp);
    i += n;
  }
  return out;
}

TextMask renderText(const std::string& utf8, int pixelSize, FontFace face, int letterSpacing) {
  static FT_Library lib = nullptr;
  static FT_Face faces[2] = {nullptr, nullptr};
  static const char* paths[2] = {"/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
                                 "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf"};
  TextMask m;
  if (!lib && FT_Init_FreeType(&lib)) return m;
  if (!faces[face] && FT_New_Face(lib, paths[face], 0, &faces[face])) {
    std::fprintf(stderr, "puxten-assets: cannot open font %s\n", paths[face]);
    faces[face] = nullptr;
    return m;
  }
  FT_Face f = faces[face];
  FT_Set_Pixel_Sizes(f, 0, pixelSize);
  struct Placed {
    int x, y, w, h;
    std::vector<uint8_t> a;
  };
  std::vector<Placed> glyphs;
  int pen = 0, minX = 1 << 30, maxX = -(1 << 30), minY = 1 << 30, maxY = -(1 << 30);
  for (uint32_t cp : decodeUtf8(utf8)) {
    if (FT_Load_Char(f, cp, FT_LOAD_RENDER)) continue;
    FT_GlyphSlot g = f->glyph;
    Placed p{pen + g->bitmap_left, -g->bitmap_top, int(g->bitmap.width), int(g->bitmap.rows), {}};
    p.a.resize(size_t(p.w) * p.h);
    for (int y = 0; y < p.h; ++y)
      for (int x = 0; x < p.w; ++x)
        p.a[size_t(y) * p.w + x] = g->bitmap.buffer[y * g->bitmap.pitch + x];
    if (p.w && p.h) {
      minX = std::min(minX, p.x), maxX = std::max(maxX, p.x + p.w);
      minY = std::min(minY, p.y), maxY = std::max(maxY, p.y + p.h);
    }
    pen += int(g->advance.x >> 6) + letterSpacing;
    glyphs.push_back(std::move(p));
  }
  if (maxX <= minX) return m;
  m.w = maxX - minX, m.h = maxY - minY, m.baseline = -minY;
  m.a.assign(size_t(m.w) * m.h, 0);
  for (auto& p : glyphs)
    for (int y = 0; y < p.h; ++y)
      for (int x = 0; x < p.w; ++x) {
        uint8_t& d = m.a[size_t(p.y - minY + y) * m.w + (p.x - minX + x)];
        d = std::max(d, p.a[size_t(y) * p.w + x]);
      }
  return m;
}

TextMask dilated(const TextMask& m, int r) {
  TextMask out;
  out.w = m.w + 2 * r, out.h = m.h + 2 * r, out.baseline = m.baseline + r;
  out.a.assign(size_t(out.w) * out.h, 0);
  for (int y = 0; y < out.h; ++y)
    for (int x = 0; x < out.w; ++x) {
      bool hit = false;
      for (int j = -r; j <= r && !hit; ++j)
        for (int i = -r; i <= r && !hit; ++i)
          if (i * i + j * j <= r * r + r / 2 && m.at(x - r + i, y - r + j) >= 100) hit = true;
      out.a[size_t(y) * out.w + x] = hit ? 255 : 0;
    }
  return out;
}

void drawTextMask(Canvas& c, const TextMask& m, int x, int y, uint32_t colour) {
  for (int j = 0; j < m.h; ++j)
    for (int i = 0; i < m.w; ++i)
      if (int a = m.at(i, j)) c.blend(x + i, y + j, colour, a / 255.0f);
}

void drawOutlinedText(Canvas& c, const TextMask& m, int x, int y, uint32_t top, uint32_t bottom,
                      uint32_t outline, int outlineWidth, int shadowOffset, uint32_t shadow) {
  TextMask o = dilated(m, outlineWidth);
  if (shadowOffset)
    for (int j = 0; j < o.h; ++j)
      for (int i = 0; i < o.w; ++i)
        if (o.at(i, j))
          c.set(x - outlineWidth + i + shadowOffset, y - outlineWidth + j + shadowOffset, shadow);
  for (int j = 0; j < o.h; ++j)
    for (int i = 0; i < o.w; ++i)
      if (o.at(i, j)) c.set(x - outlineWidth + i, y - outlineWidth + j, outline);
  for (int j = 0; j < m.h; ++j) {
    uint32_t fill = mix(top, bottom, m.h > 1 ? float(j) / (m.h - 1) : 0);
    for (int i = 0; i < m.w; ++i)
      if (int a = m.at(i, j)) c.blend(x + i, y + j, fill, a / 255.0f);
  }
}

// --- Bitmap files -------------------------------------------------------------

static void put16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(v & 255), b.push_back(v >> 8);
}
static void put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 255);
}

bool writeBmp(const std::string& path, const Canvas& c) {
  std::filesystem::path p(path);
  std::error_code ec;
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
  uint32_t stride = (uint32_t(c.w) * 3 + 3) & ~3u;
  uint32_t imageSize = stride * uint32_t(c.h);
  std::vector<uint8_t> b;
  b.reserve(54 + imageSize);
  b.push_back('B'), b.push_back('M');
  put32(b, 54 + imageSize), put32(b, 0), put32(b, 54);
  put32(b, 40), put32(b, uint32_t(c.w)), put32(b, uint32_t(c.h));  // bottom-up
  put16(b, 1), put16(b, 24), put32(b, 0), put32(b, imageSize);
  put32(b, 2835), put32(b, 2835), put32(b, 0), put32(b, 0);
  for (int y = c.h - 1; y >= 0; --y) {
    for (int x = 0; x < c.w; ++x) {
      uint32_t v = c.px[size_t(y) * c.w + x];
      b.push_back(v & 255), b.push_back((v >> 8) & 255), b.push_back((v >> 16) & 255);
    }
    for (uint32_t k = uint32_t(c.w) * 3; k < stride; ++k) b.push_back(0);
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && ok;
}
