#include "codegen/hdl_architecture.h"

namespace qv {

OutputCode CheckHdlDesign(const FilterSpec& spec, bool calculated) {
  if (spec.filterClass == FilterClass::Iir) {
    return OutputCode::IirClass;
  }
  if (spec.quantization == Quantization::Float) {
    return OutputCode::FloatQuantization;
  }
  if (!calculated) {
    return OutputCode::NotCalculated;
  }
  return OutputCode::Ok;
}

OutputCode CheckHdlArchitecture(const FilterSpec& spec, HdlArchitecture architecture) {
  const bool speed = architecture == HdlArchitecture::Speed;
  if (!speed && architecture != HdlArchitecture::Size) {
    return OutputCode::BadArchitecture;
  }
  if (speed && spec.taps % 2 == 0) {
    return OutputCode::SpeedTapsEven;
  }
  if (!speed && spec.taps < kMinSizeTaps) {
    return OutputCode::SizeTooFewTaps;
  }
  if (speed && spec.taps < kMinSpeedTaps) {
    return OutputCode::SpeedTooFewTaps;
  }
  return OutputCode::Ok;
}

}  // namespace qv
