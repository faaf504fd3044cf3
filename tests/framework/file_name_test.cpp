// File names between the system's bytes and the desktop's QStrings: every byte string comes
// back unchanged, and valid UTF-8 reads as Qt reads it.
#include "framework/file_name.h"

#include <gtest/gtest.h>

#include <string>

namespace qv {
namespace {

struct NameCase {
  const char* name;
  std::string bytes;
  bool utf8;  // valid UTF-8
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class FileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(FileName, ComesBackByteForByte) {
  const NameCase& c = GetParam();
  const QString name = FileNameFromBytes(c.bytes);
  EXPECT_EQ(FileNameBytes(name), c.bytes);
  if (c.utf8) {
    EXPECT_EQ(name, QString::fromUtf8(c.bytes.data(), static_cast<qsizetype>(c.bytes.size())));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileName,
    ::testing::Values(NameCase{"Ascii", "design.qvd", true},
                      NameCase{"Accents", "d\xc3\xa9sign \xc3\xbc.qvd", true},
                      NameCase{"ThreeBytes", "\xe2\x82\xac.qvd", true},
                      NameCase{"FourBytes", "\xf0\x9f\x98\x80.qvd", true},
                      NameCase{"LastCodePoint", "\xf4\x8f\xbf\xbf", true},
                      NameCase{"StrayByte", "bad\xffname.qvd", false},
                      NameCase{"StrayContinuation", "\x80x", false},
                      NameCase{"CutSequence", "x\xc3", false},
                      NameCase{"CutBeforeAscii", "\xe2\x82.qvd", false},
                      NameCase{"Overlong", "\xc0\xaf", false},
                      NameCase{"Surrogate", "\xed\xa0\x80\xed\xb2\x80", false},
                      NameCase{"BeyondLastCodePoint", "\xf4\x90\x80\x80", false},
                      NameCase{"FourBytesThenStray", "\xf0\x9f\x98\x80\xff", false},
                      NameCase{"Latin1", "caf\xe9", false}),
    [](const ::testing::TestParamInfo<NameCase>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace qv
