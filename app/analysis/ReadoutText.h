// The measurement readouts as drawn: always nine characters.
#pragma once

#include <string>

namespace ov {

// A percentage: " " then "%7.5f" of percent (" ---.---" from 1000 on), cut to
// eight characters and ended by "%". Values of 10 % or more lose their last
// digit, as on screen: 12.345678 reads " 12.3456%".
std::string PercentReadout(double percent);

// A level in dB: "%7.2f" of db (" ---.--" when db is not above floor), cut to
// seven characters and ended by "dB".
std::string DbReadout(double db, double floor);

}  // namespace ov

namespace ov {

// The readout lines from their measured values:
// THD (or THD+N) from its ratio, as a percentage.
std::string DistortionReadout(double ratio);
// S/N from the THD+N ratio: -20 x log10(ratio) (a ratio below 1e-38 counts as
// 1e-38), " ---.--dB" when not above 0 dB.
double SignalToNoiseDb(double thdNRatio);
std::string SignalToNoiseReadout(double thdNRatio);
// RMS from RmsDb: |db| < 0.005 reads 0.00, " ---.--dB" from -300 dB down.
std::string RmsReadout(double db);

}  // namespace ov
