// The C runtime's fma on Windows, replaced by an exact one. The number
// formatting takes std::fma to find a decimal's last digit
// (power_of_ten_scaling.h); glibc's fma is exact, mingw-w64's is not,
// and the report's and the JSON results' digits would differ. The program
// links this one instead of the runtime's, as it links the C and C++
// runtimes statically. (The trigonometric functions need no such
// replacement: the program takes its own, common/portable_trig.h.)

#include <cmath>
#include <cstdint>
#include <cstring>

extern "C" {

// x * y + z rounded once (Boldo and Melquiond, "Emulation of FMA and
// correctly rounded sums: proved algorithms using rounding to odd", IEEE
// Transactions on Computers 57(4), 2008): the product is exact in binary128,
// the sum is rounded to odd there, and rounding that to double is the
// correctly rounded result, as binary128 carries more than 53 + 1 bits.
double fma(double x, double y, double z) {
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return x * y + z;
  const __float128 product = static_cast<__float128>(x) * y;
  const __float128 sum = product + z;
  const __float128 productPart = sum - product;
  const __float128 error = (product - (sum - productPart)) + (z - productPart);
  __float128 odd = sum;
  if (error != 0) {
    // The binary128 number's two 64-bit halves, the low one first (x86-64
    // is little-endian).
    std::uint64_t bits[2];
    std::memcpy(bits, &sum, sizeof bits);
    if ((bits[0] & 1) == 0) {
      // One unit toward the error: away from zero when they share a sign.
      if ((error > 0) == (sum > 0)) {
        ++bits[0];  // even: never carries
      } else if (bits[0]-- == 0) {
        --bits[1];
      }
      std::memcpy(&odd, bits, sizeof odd);
    }
  }
  return static_cast<double>(odd);
}

}  // extern "C"
