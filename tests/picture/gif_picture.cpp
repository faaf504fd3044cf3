#include "gif_picture.h"

#include <gd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace qv::test {
namespace {

constexpr std::size_t kScreenDescriptorEnd = 13;  // signature (6) + screen descriptor (7)
constexpr int kGlobalTableFlag = 0x80;
constexpr int kTableSizeMask = 0x07;

int Word(const std::vector<unsigned char>& bytes, std::size_t at) {
  return bytes[at] | (bytes[at + 1] << 8);
}

}  // namespace

std::optional<GifHeader> ReadGifHeader(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                         std::istreambuf_iterator<char>());
  if (bytes.size() < kScreenDescriptorEnd) {
    return std::nullopt;
  }
  GifHeader header;
  header.signature.assign(bytes.begin(), bytes.begin() + 6);
  header.width = Word(bytes, 6);
  header.height = Word(bytes, 8);
  const int packed = bytes[10];
  header.hasGlobalTable = (packed & kGlobalTableFlag) != 0;
  header.backgroundIndex = bytes[11];
  if (header.hasGlobalTable) {
    const std::size_t entries = std::size_t{2} << (packed & kTableSizeMask);
    if (bytes.size() < kScreenDescriptorEnd + 3 * entries) {
      return std::nullopt;
    }
    for (std::size_t i = 0; i < entries; ++i) {
      const std::size_t at = kScreenDescriptorEnd + 3 * i;
      header.colourTable.push_back({bytes[at], bytes[at + 1], bytes[at + 2]});
    }
  }
  return header;
}

Picture::Picture(const std::string& path) : image_(QString::fromStdString(path), "GIF") {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    return;
  }
  gdImagePtr image = gdImageCreateFromGif(file);
  std::fclose(file);
  if (image == nullptr) {
    return;
  }
  indexWidth_ = gdImageSX(image);
  for (int y = 0; y < gdImageSY(image); ++y) {
    for (int x = 0; x < indexWidth_; ++x) {
      indices_.push_back(gdImageGetPixel(image, x, y));
    }
  }
  gdImageDestroy(image);
}

Rgb Picture::ColourAt(int x, int y) const {
  const QRgb pixel = image_.pixel(x, y);
  return {qRed(pixel), qGreen(pixel), qBlue(pixel)};
}

int Picture::IndexAt(int x, int y) const {
  return indices_[static_cast<std::size_t>(y) * static_cast<std::size_t>(indexWidth_) +
                  static_cast<std::size_t>(x)];
}

bool Picture::AnyInRectangle(int x0, int y0, int x1, int y1, const Rgb& colour) const {
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      if (ColourAt(x, y) == colour) {
        return true;
      }
    }
  }
  return false;
}

int Picture::CountDifferences(const Picture& other) const {
  int differences = 0;
  for (int y = 0; y < Height(); ++y) {
    for (int x = 0; x < Width(); ++x) {
      if (ColourAt(x, y) != other.ColourAt(x, y) || IndexAt(x, y) != other.IndexAt(x, y)) {
        ++differences;
      }
    }
  }
  return differences;
}

std::optional<std::array<int, 2>> Picture::InkColumns(int x0, int y0, int x1, int y1) const {
  std::optional<std::array<int, 2>> columns;
  for (int x = x0; x < x1; ++x) {
    for (int y = y0; y < y1; ++y) {
      if (!IsWhite(x, y)) {
        if (!columns) {
          columns = std::array<int, 2>{x, x};
        }
        (*columns)[1] = x;
        break;
      }
    }
  }
  return columns;
}

}  // namespace qv::test
