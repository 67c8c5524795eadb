// Numeric helpers on single-precision values; angles in degrees.
// Intermediate values are computed in extended precision (long double).
#pragma once

namespace terval {

class Oberflaeche;

// Where pot_a_b reports a negative base. Without a sink the message is dropped.
void SetzeMathsOberflaeche(Oberflaeche* ui);

// a^b as exp(b ln a). a < 0: error message, result 0. a == 0: 0.
float pot_a_b(float a, float b);
// -1, 0 or +1.
int sign_x(float x);
// Four-quadrant arc tangent of y/x in degrees (0 for y = 0, x < 0).
float arctan_y_x(float y, float x);
float arccos_deg(float x);  // 0..180; argument clamped to -1..1
float arcsin_deg(float x);  // -90..90; argument clamped to -1..1
float sin_deg(float winkel);
float cos_deg(float winkel);
// b when a >= b, else a.
float min_a_b(float a, float b);
// log10(x) for x > 0, 1e37 otherwise.
float log_10(float x);

}  // namespace terval
