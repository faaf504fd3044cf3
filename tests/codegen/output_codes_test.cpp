// The numbers and texts of every output code, in both hardware languages, as users and scripts
// see them.
#include "codegen/output_codes.h"

#include <gtest/gtest.h>

#include <string>

namespace qv {
namespace {

struct Seen {
  OutputCode code;
  int vhdlNumber;
  int verilogNumber;
  const char* vhdlText;
  const char* verilogText;  // nullptr: the same as vhdlText
};

constexpr Seen kSeen[] = {
    {OutputCode::NotCreated, -10, -10, "The Output file cannot be created!\n", nullptr},
    {OutputCode::BadArchitecture, -11, -40, "The VHDL architecture must be SIZE or SPEED\n",
     "The Verilog architecture must be SIZE or SPEED\n"},
    {OutputCode::NotClosed, -12, -12, "The Output file cannot be closed!\n", nullptr},
    {OutputCode::IirClass, -13, -41, "VHDL generation for IIR not yet implemented\n",
     "Verilog generation for IIR not yet implemented\n"},
    {OutputCode::FloatQuantization, -14, -42, "no VHDL generation for float quantization\n",
     "no Verilog generation for float quantization\n"},
    {OutputCode::NotCalculated, -15, -15, "No filter is alreday calculated\n", nullptr},
    {OutputCode::SpeedTapsEven, -16, -43, "NTap must be odd for SPEED VHDL optimization\n",
     "NTap must be odd for SPEED Verilog optimization\n"},
    {OutputCode::SizeTooFewTaps, -17, -44, "NTap must be at least 2 for SIZE VHDL optimization\n",
     "NTap must be at least 2 for SIZE Verilog optimization\n"},
    {OutputCode::SpeedTooFewTaps, -18, -45, "NTap must be at least 3 for SPEED VHDL optimization\n",
     "NTap must be at least 3 for SPEED Verilog optimization\n"},
    {OutputCode::DesignMismatch, -19, -19, "The filter design does not match its parameters!\n",
     nullptr},
    {OutputCode::ResolutionRange, -46, -46, "The Signal Resolution must be 2 to 32 bits\n",
     nullptr},
    {OutputCode::TestbenchExtension, -47, -47,
     "The testbench file name must end in .vhd, .vhdl or .v\n", nullptr},
    {OutputCode::TapsIirClass, -50, -50,
     "FPGA coefficient files hold the taps of an FIR filter; an IIR design has none\n", nullptr},
    {OutputCode::TapsFloatQuantization, -51, -51,
     "FPGA coefficient files hold integer taps; quantize the design to 8 or 16 bits\n", nullptr},
    {OutputCode::TapOutsideWord, -52, -52,
     "A tap equals the full scale and does not fit the signed coefficient word\n", nullptr},
    {OutputCode::SectionsFirClass, -53, -53,
     "Second-order sections are made from the poles of an IIR filter; an FIR design has none\n",
     nullptr},
    {OutputCode::SectionsQuantized, -54, -54,
     "Second-order sections are written for float designs; the 8-bit and 16-bit coefficients "
     "belong to the direct form\n",
     nullptr},
    {OutputCode::SectionsNotFound, -55, -55,
     "The filter cannot be split into float second-order sections!\n", nullptr},
    {OutputCode::PictureLibraryMissing, -56, -56,
     "The GIF picture cannot be drawn: libgd (libgd.so.3) cannot be loaded\n", nullptr},
};

TEST(OutputCodes, EveryCodeKeepsItsNumberAndTextInBothLanguages) {
  for (const Seen& seen : kSeen) {
    SCOPED_TRACE(seen.vhdlNumber);
    EXPECT_EQ(OutputCodeNumber(seen.code, HdlLanguage::Vhdl), seen.vhdlNumber);
    EXPECT_EQ(OutputCodeNumber(seen.code, HdlLanguage::Verilog), seen.verilogNumber);
    EXPECT_EQ(OutputMessage(seen.code, HdlLanguage::Vhdl), seen.vhdlText);
    EXPECT_EQ(OutputMessage(seen.code, HdlLanguage::Verilog),
              seen.verilogText != nullptr ? seen.verilogText : seen.vhdlText);
  }
}

TEST(OutputCodes, SuccessHasNoTextAndAnUnknownCodeStillSaysSomething) {
  EXPECT_EQ(OutputMessage(OutputCode::Ok), "");
  EXPECT_EQ(OutputCodeNumber(OutputCode::Ok, HdlLanguage::Verilog), 0);
  const auto unknown = static_cast<OutputCode>(-99);
  EXPECT_EQ(OutputCodeNumber(unknown, HdlLanguage::Verilog), -99);
  EXPECT_EQ(OutputMessage(unknown), "The output failed with the unknown code -99\n");
}

}  // namespace
}  // namespace qv
