// The extension of a file type that a save dialog appends when the type decides it.
#include <gtest/gtest.h>

#include "framework/file_dialog.h"

namespace qv {
namespace {

struct TypeCase {
  const char* filter;
  const char* extension;
};

class FilterExtensionOf : public testing::TestWithParam<TypeCase> {};

TEST_P(FilterExtensionOf, IsTheSinglePatternsSuffix) {
  EXPECT_EQ(FilterExtension(QString::fromLatin1(GetParam().filter)),
            QString::fromLatin1(GetParam().extension));
}

INSTANTIATE_TEST_SUITE_P(
    Types, FilterExtensionOf,
    testing::Values(TypeCase{"FIR compiler coefficients (*.coe)", ".coe"},
                    TypeCase{"Second-order sections in C (*.c)", ".c"},
                    TypeCase{"Design (*.tar.gz)", ""},  // two suffixes: no single one to add
                    TypeCase{"All Files (*.*)", ""}, TypeCase{"Everything (*)", ""},
                    TypeCase{"Pictures (*.gif *.png)", ""}, TypeCase{"No pattern", ""}));

}  // namespace
}  // namespace qv
