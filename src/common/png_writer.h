// Pictures saved as PNG files, so that what the runner and the tests drew can be looked at.
// Written by hand with "stored" (uncompressed) deflate blocks: a valid file that any viewer
// reads, with nothing beyond the standard library.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/raster_canvas.h"

namespace zor {

// The whole file: 8-bit RGB, not interlaced. Throws Error for a picture without pixels,
// which PNG cannot hold.
std::vector<uint8_t> encode_png(const RasterCanvas& picture);
// Throws IoError "<path>: <the system's reason>" when the file cannot be created or written.
void write_png(const std::string& path, const RasterCanvas& picture);

// The checksums of the format: CRC-32 of the chunks, Adler-32 of the zlib stream.
uint32_t crc32(std::string_view bytes, uint32_t crc = 0);
uint32_t adler32(std::string_view bytes, uint32_t adler = 1);

}  // namespace zor
