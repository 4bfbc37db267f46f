#include <cmath>

#include "kernel/Kernel.h"
#include "kernel/KernelMath.h"

// A multiplicative congruential generator (multiplier 16807, modulus 2^31). The product of
// a 31-bit state and 16807 has at most 46 bits, so the double computation is exact and runs
// are reproducible on every platform.
double Kernel::Random() {
  if (randomState_ == 0) return 0.5;
  double x = std::fmod(static_cast<double>(randomState_) * 16807.0, 2147483648.0);
  randomState_ = Truncate(x);
  if (randomState_ == 0) randomState_ = 28641;
  return x * (1.0 / 2147483648.0);
}

double NormalQuantile(double p) {
  if (p > 0.5) return -NormalQuantile(1 - p);
  double t = std::sqrt(std::log(1 / (p * p)));
  return t - (2.30753 + 0.27061 * t) / (1 + 0.99229 * t + 0.04481 * t * t);
}

// Specific power is lognormal with the type's mean and standard deviation, cut off at the
// extreme 0.23% and 0.13% tails, and never below what cruising at the preferred speed on
// the level takes (air resistance and rolling resistance 0.006 g, over the drive efficiency).
float Kernel::DrawSpecificPower(const VehicleParams& params) {
  float mean = params.specificPower;         // [W/kg]
  float sigma = params.specificPowerStdDev;  // [W/kg]
  double power = mean;
  if (sigma != 0) {
    float c = sigma / mean;
    double b = static_cast<double>(c) * c + 1;
    double mu = std::log(mean / std::sqrt(b));
    double s = std::sqrt(std::log(b));
    double u = 0;
    int rejected = 0;
    for (;;) {
      u = Random();
      if (u >= 0.0023 && u <= 0.9987) break;
      if (++rejected >= 1000) break;
    }
    if (rejected >= 1000) {
      KernelMessage(KernelCause::Error, "VehicleInfo::VehicleInfo",
                    "Unable to generate specific power");
      power = std::exp(mu);
    } else {
      power = std::exp(mu + s * NormalQuantile(u));
    }
  }
  double efficiency = params.length > 6 ? 0.9 : 0.6;
  double speed = params.preferredSpeed;  // [m/s]
  double cruising =
      (0.001 * params.airResistance * speed * speed * speed + 0.05886 * speed) / efficiency;
  if (power < cruising) power = cruising;
  if (power < 4.4) power = 4.4;
  return static_cast<float>(power);
}
