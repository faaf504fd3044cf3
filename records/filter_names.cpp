#include "records/filter_names.h"

namespace qv {

std::string_view BandTypeName(BandType band) {
  switch (band) {
    case BandType::LowPass:
      return "Low Pass";
    case BandType::HighPass:
      return "High Pass";
    case BandType::BandPass:
      return "Band Pass";
    case BandType::BandStop:
      return "Band Stop";
  }
  return {};
}

std::string_view ModelName(FilterModel model) {
  switch (model) {
    case FilterModel::Butterworth:
      return "Butterworth";
    case FilterModel::Chebyshev:
      return "Chebyshev";
    case FilterModel::Bessel:
      return "Bessel";
    case FilterModel::Rectangle:
      return "Rectangular Window";
    case FilterModel::RaisedCosine:
      return "Raised Cosine";
    case FilterModel::ChebyshevII:
      return "Chebyshev II";
    case FilterModel::Elliptic:
      return "Elliptic";
    case FilterModel::Kaiser:
      return "Kaiser Window";
    case FilterModel::Equiripple:
      return "Equiripple";
  }
  return {};
}

}  // namespace qv
