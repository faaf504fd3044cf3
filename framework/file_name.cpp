#include "framework/file_name.h"

namespace qv {
namespace {

// The unpaired low surrogate that stands for byte B is kByteEscape + B (B from 0x80 to 0xFF:
// every byte below 0x80 is valid UTF-8 on its own).
constexpr char16_t kByteEscape = 0xDC00;
constexpr char16_t kFirstEscape = 0xDC80;
constexpr char16_t kLastEscape = 0xDCFF;
constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kLastSurrogate = 0xDFFF;
constexpr char32_t kLastCodePoint = 0x10FFFF;

struct SequenceForm {
  unsigned char leadMask;     // the bits of the lead byte that mark the form
  unsigned char leadPattern;  // their value
  std::size_t length;         // bytes, the lead byte included
  char32_t smallest;          // the smallest code point not written shorter
};

constexpr SequenceForm kForms[] = {
    {0x80, 0x00, 1, 0},
    {0xE0, 0xC0, 2, 0x80},
    {0xF0, 0xE0, 3, 0x800},
    {0xF8, 0xF0, 4, 0x10000},
};
constexpr unsigned char kContinuationMask = 0xC0;
constexpr unsigned char kContinuationPattern = 0x80;
constexpr unsigned kContinuationBits = 6;

// The length (1..4 bytes) of the valid UTF-8 sequence at the front of `bytes`, its code point
// in `point`; 0 when the first byte starts none (a stray or missing continuation byte, a
// sequence written longer than needed, a surrogate, a code point beyond U+10FFFF).
std::size_t ValidSequence(std::string_view bytes, char32_t& point) {
  const auto byte = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  for (const SequenceForm& form : kForms) {
    if ((byte(0) & form.leadMask) != form.leadPattern) {
      continue;
    }
    if (bytes.size() < form.length) {
      return 0;
    }
    point = byte(0) & static_cast<unsigned char>(~form.leadMask);
    for (std::size_t i = 1; i < form.length; ++i) {
      if ((byte(i) & kContinuationMask) != kContinuationPattern) {
        return 0;
      }
      point =
          (point << kContinuationBits) | (byte(i) & static_cast<unsigned char>(~kContinuationMask));
    }
    const bool surrogate = point >= kFirstSurrogate && point <= kLastSurrogate;
    return point >= form.smallest && point <= kLastCodePoint && !surrogate ? form.length : 0;
  }
  return 0;
}

}  // namespace

QString FileNameFromBytes(std::string_view bytes) {
  QString name;
  while (!bytes.empty()) {
    char32_t point = 0;
    std::size_t length = ValidSequence(bytes, point);
    if (length == 0) {
      name.append(QChar(static_cast<char16_t>(kByteEscape + static_cast<unsigned char>(bytes[0]))));
      length = 1;
    } else {
      name.append(QString::fromUcs4(&point, 1));
    }
    bytes.remove_prefix(length);
  }
  return name;
}

std::string FileNameBytes(const QString& name) {
  std::string bytes;
  qsizetype runStart = 0;  // the first character not yet written
  const auto writeRun = [&](qsizetype end) {
    bytes += QStringView(name).sliced(runStart, end - runStart).toUtf8().toStdString();
  };
  for (qsizetype i = 0; i < name.size(); ++i) {
    const char16_t unit = name[i].unicode();
    const bool paired = i > 0 && name[i - 1].isHighSurrogate();
    if (unit >= kFirstEscape && unit <= kLastEscape && !paired) {
      writeRun(i);
      bytes += static_cast<char>(unit - kByteEscape);
      runStart = i + 1;
    }
  }
  writeRun(name.size());
  return bytes;
}

}  // namespace qv
