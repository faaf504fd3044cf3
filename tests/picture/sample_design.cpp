#include "sample_design.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "picture/graph_export.h"

namespace qv::test {
namespace {

void FillRamp(Curve& curve, const CurveEnds& ends, int lastPoint) {
  for (int k = 0; k <= lastPoint; ++k) {
    curve[k] = ends.first + (ends.last - ends.first) * k / lastPoint;
  }
  curve[lastPoint] = ends.last;
}

}  // namespace

ExportInput MakeSampleInput() {
  ExportInput input;
  input.spec = FilterSpec{.effectiveOrder = 2};
  input.scale.points = 32;
  input.scale.columnStep = 0.125f;
  input.scale.timeStep = 0.125f;
  input.scale.timeUnit = "ms";

  ResponseSet& r = input.responses;
  r.magnitudeMinDb = -100.0;
  r.magnitudeMaxDb = 0.0;
  FillRamp(r.magnitudeDb, kMagnitudeEnds, kDisplayPoints - 1);
  FillRamp(r.phase, kPhaseEnds, kDisplayPoints - 1);
  r.groupDelayMin = 0.001;
  r.groupDelayMax = 0.003;
  r.groupDelayUnit = "ms";
  r.groupDelayFactor = 1000.0f;
  FillRamp(r.groupDelay, kGroupDelayEnds, kDisplayPoints - 2);
  r.groupDelay[kDisplayPoints - 1] = r.groupDelayMax;  // never computed, never drawn
  r.impulsePeak = 0.282;
  FillRamp(r.impulse, kImpulseEnds, kDisplayPoints - 1);
  r.stepPeak = 1.05;
  FillRamp(r.step, kStepEnds, kDisplayPoints - 1);

  r.zeros[0] = {0.5, 0.5};
  r.zeros[1] = {0.5, 0.5};
  r.zeros[2] = {0.0, 0.6};
  r.poles[0] = {-0.305, -0.305};
  r.poles[1] = {-0.305, -0.305};
  r.poles[2] = {0.6, -0.6};
  return input;
}

std::string ExportToTemp(const ExportInput& input, const std::string& name) {
  // CTest runs every test in its own process, several at once: each process writes its own files.
  const std::string path = ::testing::TempDir() + std::to_string(::getpid()) + "-" + name;
  const OutputCode result =
      ExportGraphs(input.spec, input.scale, input.responses, input.scheme, path.c_str());
  return result == OutputCode::Ok ? path : std::string();
}

std::string DefaultDesignGoldenPath() { return QUORVANEL_DEFAULT_DESIGN_GOLDEN; }

Picture ExportAndDecode(const ExportInput& input, const std::string& name) {
  const std::string path = ExportToTemp(input, name);
  Picture picture(path);
  if (!path.empty()) {
    std::filesystem::remove(path);
  }
  return picture;
}

}  // namespace qv::test
