// Numeric helpers on single-precision values; angles in degrees.
// Arguments and results are float; intermediate values (and pi) are computed
// in extended precision (long double) and rounded once on return.
#pragma once

namespace terval {

class Oberflaeche;

// Where pot_a_b reports a negative base. Without a sink the message is dropped.
void SetzeMathsOberflaeche(Oberflaeche* ui);

// a^b as exp(b ln a). a < 0: a four-line error message (banner, module,
// cause, consequence; lines joined by '\r') and the result 0, and the caller
// goes on with it. a == 0: 0 for every b (the limit for b > 0).
float pot_a_b(float a, float b);
// -1 for x < 0, 0 for x == 0, +1 otherwise.
int sign_x(float x);
// Four-quadrant arc tangent of y/x in degrees, -180..180. x == 0 gives
// 90 * sign_x(y); x < 0 adds 180 * sign_x(y), so (0, -1) gives 0, not 180.
float arctan_y_x(float y, float x);
// Arc cosine in degrees, 0..180; the argument is clamped to -1..1, -1 gives 180.
float arccos_deg(float x);
// Arc sine in degrees, -90..90; the argument is clamped to -1..1.
float arcsin_deg(float x);
// sin(pi * winkel / 180).
float sin_deg(float winkel);
// cos(pi * winkel / 180).
float cos_deg(float winkel);
// b when a >= b, else a (so equal arguments return b).
float min_a_b(float a, float b);
// ln x / ln 10 for x > 0; 1e37 otherwise (NaN included).
float log_10(float x);

}  // namespace terval
