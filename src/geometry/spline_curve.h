#pragma once
// A fitted cubic-spline curve v(t), a value: its knots and per-knot
// coefficients, and the evaluation that reads them. Knots 1..n are used,
// index 0 never. Per knot i, row 1 holds the value at knot i, row 2 the slope,
// row 3 the second derivative at knot i and row 4 the third derivative on the
// piece from knot i to knot i + 1; on that piece
//   v(t) = c1[i] + c2[i] h + c3[i] h^2/2 + c4[i] h^3/6,   h = t - knot[i].
// For the last knot only row 1 has a meaning.
//
// The curve owns its data, so an evaluation can only ever read the curve it
// belongs to. A curve of up to inlineKnots knots (the blade's stations, most
// stern contours) holds it in place, a longer one on the heap; so the spans
// of knots() and coef() belong to the object, not to its data, and must not
// be read after it is moved from or gone. fitCurve (fit_curve.h) and setUpContour
// (set_up_contour.h) fill it; evaluateCurve (evaluate_curve.h) reads it.

#include <array>
#include <span>
#include <vector>

namespace propclear {

// The most knots one curve may have.
inline constexpr int maxKnots = 1000;

class SplineCurve {
 public:
  static constexpr int inlineKnots = 24;

  // A curve without knots: it has no value anywhere.
  SplineCurve() : SplineCurve(0) {}
  // n knots, all knots and coefficients 0. A count outside 0..maxKnots is an
  // arithmetic fault (RunError).
  explicit SplineCurve(int knotCount);
  // Copies and moves carry the places in use only; a curve moved from has no
  // knots.
  SplineCurve(const SplineCurve& other);
  SplineCurve(SplineCurve&& other) noexcept;
  SplineCurve& operator=(const SplineCurve& other);
  SplineCurve& operator=(SplineCurve&& other) noexcept;
  ~SplineCurve() = default;

  int knotCount() const { return knotCount_; }

  // Knots 0..n (index 0 unused) and coefficient rows 1..4, each indexed 0..n.
  std::span<double> knots() { return row(0); }
  std::span<const double> knots() const { return row(0); }
  std::span<double> coef(int row) { return this->row(row); }
  std::span<const double> coef(int row) const { return this->row(row); }

  double knot(int i) const { return data()[index(0, i)]; }
  double value(int i) const { return data()[index(1, i)]; }

  // Whether t lies on the curve: equal to the first or last knot, or inside
  // a piece (knot[i] < t <= knot[i + 1]). evaluateCurve writes its result
  // exactly when this holds.
  bool covers(double t) const;

 private:
  // Row 0 holds the knots, rows 1..4 the coefficients, each n + 1 long.
  static constexpr std::size_t rowCount = 5;
  std::size_t placesInUse() const { return rowCount * rowLength(); }
  double* data() { return heap_.empty() ? inline_.data() : heap_.data(); }
  const double* data() const { return heap_.empty() ? inline_.data() : heap_.data(); }
  // The places in use taken from another curve of the same knot count.
  void takePlaces(const SplineCurve& other);
  // What a curve moved from is left as: no knots.
  void becomeEmpty();
  std::size_t index(int row, int i) const {
    return static_cast<std::size_t>(row) * rowLength() + static_cast<std::size_t>(i);
  }
  std::size_t rowLength() const { return static_cast<std::size_t>(knotCount_) + 1; }
  std::span<double> row(int r) { return {data() + index(r, 0), rowLength()}; }
  std::span<const double> row(int r) const { return {data() + index(r, 0), rowLength()}; }

  int knotCount_ = 0;
  std::vector<double> heap_;  // beyond inlineKnots knots
  // Up to inlineKnots knots; only the first placesInUse() are ever read.
  std::array<double, rowCount*(inlineKnots + 1)> inline_;
};

}  // namespace propclear
