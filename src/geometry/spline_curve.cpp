#include "geometry/spline_curve.h"

#include <algorithm>
#include <string>
#include <utility>

#include "common/checked_math.h"

namespace propclear {

namespace {

int checkedKnotCount(int n) {
  if (n < 0 || n > maxKnots) {
    const std::string reason =
        "knot count " + std::to_string(n) + " is negative or above " + std::to_string(maxKnots);
    throwArithmeticFault("the spline curve", reason.c_str());
  }
  return n;
}

}  // namespace

SplineCurve::SplineCurve(int knotCount) : knotCount_(checkedKnotCount(knotCount)) {
  if (knotCount_ > inlineKnots) {
    heap_.assign(placesInUse(), 0.0);
  } else {
    std::fill_n(inline_.data(), placesInUse(), 0.0);
  }
}

SplineCurve::SplineCurve(const SplineCurve& other)
    : knotCount_(other.knotCount_), heap_(other.heap_) {
  takePlaces(other);
}

SplineCurve::SplineCurve(SplineCurve&& other) noexcept
    : knotCount_(other.knotCount_), heap_(std::move(other.heap_)) {
  takePlaces(other);
  other.becomeEmpty();
}

SplineCurve& SplineCurve::operator=(const SplineCurve& other) {
  if (this == &other) return *this;
  knotCount_ = other.knotCount_;
  heap_ = other.heap_;
  takePlaces(other);
  return *this;
}

SplineCurve& SplineCurve::operator=(SplineCurve&& other) noexcept {
  if (this == &other) return *this;
  knotCount_ = other.knotCount_;
  heap_ = std::move(other.heap_);
  takePlaces(other);
  other.becomeEmpty();
  return *this;
}

void SplineCurve::becomeEmpty() {
  heap_.clear();
  knotCount_ = 0;
  std::fill_n(inline_.data(), placesInUse(), 0.0);
}

void SplineCurve::takePlaces(const SplineCurve& other) {
  if (heap_.empty()) std::copy_n(other.inline_.data(), placesInUse(), inline_.data());
}

bool SplineCurve::covers(double t) const {
  const int n = knotCount_;
  if (n < 1) return false;
  if (t == knot(1) || t == knot(n)) return true;
  for (int i = 1; i <= n - 1; ++i) {
    if (knot(i) < t && t <= knot(i + 1)) return true;
  }
  return false;
}

}  // namespace propclear
