#include "common/png_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/error.h"

namespace zor {
namespace {

// Bit by bit, unlike the table-driven one under test.
uint32_t slow_crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

// Reduced after every byte, unlike the one under test.
uint32_t slow_adler32(const std::vector<uint8_t>& data) {
  uint32_t a = 1, b = 0;
  for (const uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

uint32_t read_u32(const std::vector<uint8_t>& bytes, size_t pos) {
  return (uint32_t{bytes.at(pos)} << 24) | (uint32_t{bytes.at(pos + 1)} << 16) |
         (uint32_t{bytes.at(pos + 2)} << 8) | uint32_t{bytes.at(pos + 3)};
}

struct DecodedPng {
  int width = 0;
  int height = 0;
  std::vector<Color> pixels;
  int idat_chunks = 0;
  int stored_blocks = 0;
};

// A strict reader for exactly what the writer promises: RGB 8 bit, filter 0, stored blocks.
DecodedPng decode(const std::vector<uint8_t>& png) {
  DecodedPng result;
  const std::vector<uint8_t> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
  std::vector<uint8_t> stream;
  std::vector<std::string> types;
  size_t pos = 8;
  while (pos < png.size()) {
    const uint32_t length = read_u32(png, pos);
    const std::string type(png.begin() + static_cast<ptrdiff_t>(pos + 4),
                           png.begin() + static_cast<ptrdiff_t>(pos + 8));
    const size_t data = pos + 8;
    EXPECT_LE(data + length + 4, png.size());
    EXPECT_EQ(read_u32(png, data + length), slow_crc32(png.data() + pos + 4, length + 4)) << type;
    if (type == "IHDR") {
      EXPECT_EQ(length, 13u);
      result.width = static_cast<int>(read_u32(png, data));
      result.height = static_cast<int>(read_u32(png, data + 4));
      EXPECT_EQ(std::vector<uint8_t>(png.begin() + static_cast<ptrdiff_t>(data + 8),
                                     png.begin() + static_cast<ptrdiff_t>(data + 13)),
                (std::vector<uint8_t>{8, 2, 0, 0, 0}));
    } else if (type == "IDAT") {
      ++result.idat_chunks;
      stream.insert(stream.end(), png.begin() + static_cast<ptrdiff_t>(data),
                    png.begin() + static_cast<ptrdiff_t>(data + length));
    }
    types.push_back(type);
    pos = data + length + 4;
  }
  EXPECT_EQ(pos, png.size());
  EXPECT_GE(types.size(), 3u);
  EXPECT_EQ(types.front(), "IHDR");
  EXPECT_EQ(types.back(), "IEND");

  EXPECT_GE(stream.size(), 2u);
  EXPECT_EQ(stream[0] & 0x0F, 8);  // deflate
  EXPECT_EQ((stream[0] * 256 + stream[1]) % 31, 0);
  std::vector<uint8_t> raw;
  size_t at = 2;
  for (bool last = false; !last;) {
    last = (stream.at(at) & 1) != 0;
    EXPECT_EQ(stream.at(at) & 6, 0) << "not a stored block";
    const uint32_t len = stream.at(at + 1) | (uint32_t{stream.at(at + 2)} << 8);
    const uint32_t nlen = stream.at(at + 3) | (uint32_t{stream.at(at + 4)} << 8);
    EXPECT_EQ(len ^ 0xFFFFu, nlen);
    at += 5;
    EXPECT_LE(at + len, stream.size());
    raw.insert(raw.end(), stream.begin() + static_cast<ptrdiff_t>(at),
               stream.begin() + static_cast<ptrdiff_t>(at + len));
    at += len;
    ++result.stored_blocks;
  }
  EXPECT_EQ(read_u32(stream, at), slow_adler32(raw));
  EXPECT_EQ(at + 4, stream.size());

  const size_t row_bytes = 1 + 3 * static_cast<size_t>(result.width);
  EXPECT_EQ(raw.size(), row_bytes * static_cast<size_t>(result.height));
  for (size_t row = 0; row + row_bytes <= raw.size(); row += row_bytes) {
    EXPECT_EQ(raw[row], 0) << "filter type";
    for (size_t i = row + 1; i < row + row_bytes; i += 3) {
      result.pixels.push_back({raw[i], raw[i + 1], raw[i + 2]});
    }
  }
  return result;
}

RasterCanvas sample_picture(int width, int height) {
  RasterCanvas picture(width, height);
  for (int i = 0; i < width; i += std::max(3, width / 20)) {
    picture.set_pen_color({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i % 256),
                           static_cast<uint8_t>(i * 7)});
    picture.move_to(i, 0);
    picture.line_to(width - i, height);
  }
  picture.set_pen_color(kRed);
  picture.ellipse(0, 0, width, height);
  return picture;
}

std::filesystem::path temporary_file(const std::string& name) {
  return std::filesystem::temp_directory_path() /
         (name + "-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".png");
}

TEST(PngChecksums, KnownValues) {
  EXPECT_EQ(crc32("123456789"), 0xCBF43926u);
  EXPECT_EQ(crc32("IEND"), 0xAE426082u);
  EXPECT_EQ(crc32(""), 0u);
  EXPECT_EQ(crc32("6789", crc32("12345")), 0xCBF43926u);
  EXPECT_EQ(adler32("Wikipedia"), 0x11E60398u);
  EXPECT_EQ(adler32(""), 1u);
  EXPECT_EQ(adler32("pedia", adler32("Wiki")), 0x11E60398u);
}

TEST(PngChecksums, AdlerOverLongRunsOfHighBytes) {
  // Long enough to pass several deferred reductions with the largest byte values.
  const std::vector<uint8_t> bytes(100000, 0xFF);
  EXPECT_EQ(adler32(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())),
            slow_adler32(bytes));
}

TEST(PngEncode, DecodesToTheSamePixels) {
  for (const auto& [width, height] : std::vector<std::pair<int, int>>{{1, 1}, {7, 3}, {64, 48}}) {
    const RasterCanvas picture = sample_picture(width, height);
    const DecodedPng decoded = decode(encode_png(picture));
    EXPECT_EQ(decoded.width, width);
    EXPECT_EQ(decoded.height, height);
    EXPECT_EQ(decoded.pixels, picture.pixels());
    EXPECT_EQ(decoded.stored_blocks, 1);
  }
}

TEST(PngEncode, LargePicturesSpanSeveralBlocksAndChunks) {
  // 700 x 600 RGB is 1.26 MB of scanlines: 20 stored blocks in 2 IDAT chunks.
  const RasterCanvas picture = sample_picture(700, 600);
  const DecodedPng decoded = decode(encode_png(picture));
  EXPECT_EQ(decoded.pixels, picture.pixels());
  EXPECT_EQ(decoded.stored_blocks, 20);
  EXPECT_EQ(decoded.idat_chunks, 2);
}

TEST(PngEncode, BlockEdgeExactlyFull) {
  // 1 + 3 * 21845 = 65536 bytes per row: one full block and one of a single byte.
  const RasterCanvas picture = sample_picture(21845, 1);
  const DecodedPng decoded = decode(encode_png(picture));
  EXPECT_EQ(decoded.pixels, picture.pixels());
  EXPECT_EQ(decoded.stored_blocks, 2);
}

TEST(PngEncode, EmptyPictureIsRefused) {
  EXPECT_THROW(encode_png(RasterCanvas(0, 5)), Error);
  EXPECT_THROW(encode_png(RasterCanvas(5, 0)), Error);
}

TEST(PngWrite, FileHoldsTheEncodedBytes) {
  const RasterCanvas picture = sample_picture(30, 20);
  const std::filesystem::path path = temporary_file("zor-png-writer");
  write_png(path.string(), picture);
  std::ifstream file(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
  file.close();
  std::filesystem::remove(path);
  EXPECT_EQ(bytes, encode_png(picture));
}

TEST(PngWrite, UnwritablePathThrowsIoError) {
  const RasterCanvas picture = sample_picture(4, 4);
  const std::filesystem::path missing =
      std::filesystem::temp_directory_path() / "zor-no-such-directory" / "x" / "picture.png";
  EXPECT_THROW(write_png(missing.string(), picture), IoError);
  EXPECT_THROW(write_png(std::filesystem::temp_directory_path().string(), picture), IoError);
}

}  // namespace
}  // namespace zor
