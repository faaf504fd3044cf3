// Reading back an exported GIF for the tests: the header and colour table byte by byte, the
// colours of the pixels through Qt's GIF decoder, and the palette index of every pixel.
#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv::test {

using Rgb = std::array<int, 3>;

inline constexpr Rgb kBlack = {0, 0, 0};
inline constexpr Rgb kWhite = {255, 255, 255};
inline constexpr Rgb kRed = {255, 0, 0};
inline constexpr Rgb kGreen = {0, 255, 0};
inline constexpr Rgb kBlue = {0, 0, 255};

// The logical screen descriptor and global colour table at the start of a GIF file.
struct GifHeader {
  std::string signature;  // "GIF87a" or "GIF89a"
  int width = 0;
  int height = 0;
  bool hasGlobalTable = false;
  int backgroundIndex = 0;
  std::vector<Rgb> colourTable;  // 2^(n+1) entries
};

// Takes a file path; returns its GIF header, or nothing when the file is shorter than the
// header and table claim.
std::optional<GifHeader> ReadGifHeader(const std::string& path);

// A decoded picture: colours from Qt's decoder, palette indices from libgd's reader.
class Picture {
 public:
  // Takes a GIF file path; IsValid() tells whether both decoders read it.
  explicit Picture(const std::string& path);

  bool IsValid() const { return !image_.isNull() && !indices_.empty(); }
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }

  // Colour and palette index at (x, y); both inside the picture.
  Rgb ColourAt(int x, int y) const;
  int IndexAt(int x, int y) const;

  bool IsRed(int x, int y) const { return ColourAt(x, y) == kRed; }
  bool IsWhite(int x, int y) const { return ColourAt(x, y) == kWhite; }
  bool IsBlack(int x, int y) const { return ColourAt(x, y) == kBlack; }

  // True when any pixel of the rectangle [x0, x1) x [y0, y1) has the colour.
  bool AnyInRectangle(int x0, int y0, int x1, int y1, const Rgb& colour) const;

  // The columns of the leftmost and rightmost pixels that are not white inside the rectangle
  // [x0, x1) x [y0, y1); nothing when it is all white.
  std::optional<std::array<int, 2>> InkColumns(int x0, int y0, int x1, int y1) const;

  // Takes a picture of the same size; returns how many pixels differ in colour or index.
  int CountDifferences(const Picture& other) const;

 private:
  QImage image_;
  int indexWidth_ = 0;
  std::vector<int> indices_;
};

}  // namespace qv::test
