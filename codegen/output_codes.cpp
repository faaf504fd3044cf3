#include "codegen/output_codes.h"

#include <array>
#include <string_view>

namespace qv {
namespace {

// A code, its Verilog number (its own where the language is not named) and its text; "%s"
// stands for the language's name.
struct OutputCodeEntry {
  OutputCode code;
  int verilogNumber;
  std::string_view text;
};

constexpr std::array kOutputCodes{
    OutputCodeEntry{OutputCode::NotCreated, -10, "The Output file cannot be created!\n"},
    OutputCodeEntry{OutputCode::BadArchitecture, -40,
                    "The %s architecture must be SIZE or SPEED\n"},
    OutputCodeEntry{OutputCode::NotClosed, -12, "The Output file cannot be closed!\n"},
    OutputCodeEntry{OutputCode::IirClass, -41, "%s generation for IIR not yet implemented\n"},
    OutputCodeEntry{OutputCode::FloatQuantization, -42,
                    "no %s generation for float quantization\n"},
    OutputCodeEntry{OutputCode::NotCalculated, -15, "No filter is alreday calculated\n"},
    OutputCodeEntry{OutputCode::SpeedTapsEven, -43, "NTap must be odd for SPEED %s optimization\n"},
    OutputCodeEntry{OutputCode::SizeTooFewTaps, -44,
                    "NTap must be at least 2 for SIZE %s optimization\n"},
    OutputCodeEntry{OutputCode::SpeedTooFewTaps, -45,
                    "NTap must be at least 3 for SPEED %s optimization\n"},
    OutputCodeEntry{OutputCode::DesignMismatch, -19,
                    "The filter design does not match its parameters!\n"},
    OutputCodeEntry{OutputCode::ResolutionRange, -46,
                    "The Signal Resolution must be 2 to 32 bits\n"},
    OutputCodeEntry{OutputCode::TestbenchExtension, -47,
                    "The testbench file name must end in .vhd, .vhdl or .v\n"},
    OutputCodeEntry{
        OutputCode::TapsIirClass, -50,
        "FPGA coefficient files hold the taps of an FIR filter; an IIR design has none\n"},
    OutputCodeEntry{
        OutputCode::TapsFloatQuantization, -51,
        "FPGA coefficient files hold integer taps; quantize the design to 8 or 16 bits\n"},
    OutputCodeEntry{OutputCode::TapOutsideWord, -52,
                    "A tap equals the full scale and does not fit the signed coefficient word\n"},
    OutputCodeEntry{OutputCode::SectionsFirClass, -53,
                    "Second-order sections are made from the poles of an IIR filter; an FIR "
                    "design has none\n"},
    OutputCodeEntry{OutputCode::SectionsQuantized, -54,
                    "Second-order sections are written for float designs; the 8-bit and 16-bit "
                    "coefficients belong to the direct form\n"},
    OutputCodeEntry{OutputCode::SectionsNotFound, -55,
                    "The filter cannot be split into float second-order sections!\n"},
    OutputCodeEntry{OutputCode::PictureLibraryMissing, -56,
                    "The GIF picture cannot be drawn: libgd (libgd.so.3) cannot be loaded\n"},
    OutputCodeEntry{OutputCode::DesignFileNotSaved, -57, "Failed to save document.\n"},
};

constexpr std::string_view kLanguageMark = "%s";

const OutputCodeEntry* Find(OutputCode code) {
  for (const OutputCodeEntry& entry : kOutputCodes) {
    if (entry.code == code) {
      return &entry;
    }
  }
  return nullptr;
}

}  // namespace

int OutputCodeNumber(OutputCode code, HdlLanguage language) {
  const OutputCodeEntry* entry = Find(code);
  if (entry != nullptr && language == HdlLanguage::Verilog) {
    return entry->verilogNumber;
  }
  return static_cast<int>(code);
}

std::string OutputMessage(OutputCode code, HdlLanguage language) {
  if (code == OutputCode::Ok) {
    return {};
  }
  const OutputCodeEntry* entry = Find(code);
  if (entry == nullptr) {
    return "The output failed with the unknown code " +
           std::to_string(OutputCodeNumber(code, language)) + "\n";
  }
  std::string text(entry->text);
  if (const std::size_t mark = text.find(kLanguageMark); mark != std::string::npos) {
    text.replace(mark, kLanguageMark.size(), HdlLanguageName(language));
  }
  return text;
}

}  // namespace qv
