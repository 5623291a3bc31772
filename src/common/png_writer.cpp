#include "common/png_writer.h"

#include <algorithm>
#include <array>

#include "common/error.h"
#include "common/output_file.h"

namespace zor {

namespace {

constexpr size_t kMaxStoredBlock = 65535;
// IDAT chunks are cut to this size; PNG allows more, but small chunks keep every length
// field far from its limit whatever the picture's size.
constexpr size_t kMaxIdatChunk = size_t{1} << 20;

constexpr std::array<uint32_t, 256> make_crc_table() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = make_crc_table();

std::string_view as_chars(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

void put_u32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void put_chunk(std::vector<uint8_t>& out, std::string_view type, const uint8_t* data, size_t size) {
  put_u32(out, static_cast<uint32_t>(size));
  const size_t type_start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data, data + size);
  put_u32(out, crc32(as_chars(out.data() + type_start, out.size() - type_start)));
}

// The scanlines, each led by filter type 0 (none).
std::vector<uint8_t> scanlines(const RasterCanvas& picture) {
  const size_t width = static_cast<size_t>(picture.width());
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(picture.height()) * (1 + 3 * width));
  const std::vector<Color>& pixels = picture.pixels();
  for (size_t start = 0; start < pixels.size(); start += width) {
    raw.push_back(0);
    for (size_t x = start; x < start + width; ++x) {
      raw.push_back(pixels[x].r);
      raw.push_back(pixels[x].g);
      raw.push_back(pixels[x].b);
    }
  }
  return raw;
}

std::vector<uint8_t> zlib_stored(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> out{0x78, 0x01};  // deflate, 32 KiB window, no dictionary
  size_t pos = 0;
  do {
    const size_t length = std::min(kMaxStoredBlock, raw.size() - pos);
    const bool last = pos + length == raw.size();
    out.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
    out.push_back(static_cast<uint8_t>(length));
    out.push_back(static_cast<uint8_t>(length >> 8));
    out.push_back(static_cast<uint8_t>(~length));
    out.push_back(static_cast<uint8_t>(~length >> 8));
    out.insert(out.end(), raw.begin() + static_cast<ptrdiff_t>(pos),
               raw.begin() + static_cast<ptrdiff_t>(pos + length));
    pos += length;
  } while (pos < raw.size());
  put_u32(out, adler32(as_chars(raw.data(), raw.size())));
  return out;
}

}  // namespace

uint32_t crc32(std::string_view bytes, uint32_t crc) {
  crc = ~crc;
  for (const char byte : bytes) {
    crc = kCrcTable[(crc ^ static_cast<uint8_t>(byte)) & 0xFF] ^ (crc >> 8);
  }
  return ~crc;
}

uint32_t adler32(std::string_view bytes, uint32_t adler) {
  constexpr uint32_t kModulus = 65521;
  // The largest run whose sums cannot overflow 32 bits before they are reduced.
  constexpr size_t kRun = 5552;
  uint32_t a = adler & 0xFFFF;
  uint32_t b = adler >> 16;
  while (!bytes.empty()) {
    const size_t run = std::min(kRun, bytes.size());
    for (size_t i = 0; i < run; ++i) {
      a += static_cast<uint8_t>(bytes[i]);
      b += a;
    }
    a %= kModulus;
    b %= kModulus;
    bytes.remove_prefix(run);
  }
  return (b << 16) | a;
}

std::vector<uint8_t> encode_png(const RasterCanvas& picture) {
  if (picture.width() == 0 || picture.height() == 0) {
    throw Error("A picture without pixels cannot be saved as PNG");
  }
  std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  put_u32(header, static_cast<uint32_t>(picture.width()));
  put_u32(header, static_cast<uint32_t>(picture.height()));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, filters, no interlace
  put_chunk(png, "IHDR", header.data(), header.size());
  const std::vector<uint8_t> stream = zlib_stored(scanlines(picture));
  for (size_t pos = 0; pos < stream.size(); pos += kMaxIdatChunk) {
    put_chunk(png, "IDAT", stream.data() + pos, std::min(kMaxIdatChunk, stream.size() - pos));
  }
  put_chunk(png, "IEND", nullptr, 0);
  return png;
}

void write_png(const std::string& path, const RasterCanvas& picture) {
  const std::vector<uint8_t> png = encode_png(picture);
  write_whole_file(path, png.data(), png.size());
}

}  // namespace zor
