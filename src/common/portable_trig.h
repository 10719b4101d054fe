#pragma once
// Cosine and tangent with the same bits on every system the program is
// built for. The C libraries' cos and tan differ in the last bit (glibc's,
// mingw-w64's x87-based one, Microsoft's, Emscripten's), and the blade
// outline's points reach the JSON results and the DXF drawing at full
// precision: these are worked out from additions, multiplications and
// divisions alone, which IEEE 754 fixes bit for bit, in double-double
// arithmetic (about 106 bits, Dekker 1971), and rounded once. They are the
// correctly rounded value except where it lies within about 2^-60 of a
// rounding boundary.

namespace propclear {

// cos x for finite x with |x| <= 2^20 (beyond that, and for infinities and
// NaN: NaN).
double portableCos(double x);
// tan x, on the same arguments.
double portableTan(double x);

}  // namespace propclear
