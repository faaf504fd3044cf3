// The tolerance scheme: the requirements a design is checked against and, with "minimum
// order" on, designed from. The pass-band ripple Rp is the specification's ripple field.
#pragma once

namespace qv {

// Edges are real hertz. Low pass: pass1 < stop1; high pass: stop1 < pass1; band pass:
// stop1 < pass1 < pass2 < stop2; band stop: pass1 < stop1 < stop2 < pass2. Low and high pass
// read only pass1 and stop1.
struct ToleranceScheme {
  bool active = false;        // a scheme is set; off, the design is made and drawn as entered
  bool minimumOrder = false;  // Quorvanel chooses the order or the tap count
  double pass1 = 0.0;         // Hz, pass-band edge (the lower one of a band design)
  double pass2 = 0.0;         // Hz, upper pass-band edge of a band design
  double stop1 = 0.0;         // Hz, stop-band edge (the lower one of a band design)
  double stop2 = 0.0;         // Hz, upper stop-band edge of a band design
  double attenuation = 40.0;  // dB, As: the least stop-band attenuation

  friend bool operator==(const ToleranceScheme&, const ToleranceScheme&) = default;
};

}  // namespace qv
