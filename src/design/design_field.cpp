#include "design/design_field.h"

#include <cmath>
#include <stdexcept>

#include "design/decimal_number.h"

namespace propclear {

namespace {

double& fieldSlot(DesignData& design, FieldRef ref) {
  switch (ref.field) {
    case DesignField::PropellerCentreX: return design.propellerCentreX;
    case DesignField::PropellerCentreZ: return design.propellerCentreZ;
    case DesignField::WaterlineHeight: return design.waterlineHeight;
    case DesignField::PropellerDiameter: return design.propellerDiameter;
    case DesignField::HubDiameter: return design.hubDiameter;
    case DesignField::PitchRatio: return design.pitchRatio;
    case DesignField::AreaRatio: return design.areaRatio;
    case DesignField::RakeAngle: return design.rakeAngle;
    case DesignField::RudderX: return design.rudderX.at(static_cast<std::size_t>(ref.index));
    case DesignField::RudderZ: return design.rudderZ.at(static_cast<std::size_t>(ref.index));
    case DesignField::ContourZ:
      return design.contourZ[sternContourRow].at(static_cast<std::size_t>(ref.index));
    case DesignField::ContourX:
      return design.contourX[sternContourRow].at(static_cast<std::size_t>(ref.index));
    case DesignField::ContourCode:
      return design.contourCode[sternContourRow].at(static_cast<std::size_t>(ref.index));
  }
  throw std::invalid_argument("no such design field");
}

// Why `value` cannot stand for `ref`, or nothing when it can.
std::string rangeFault(FieldRef ref, double value) {
  switch (ref.field) {
    case DesignField::PropellerDiameter:
      if (!(value > 0.0)) return "the propeller diameter must be greater than 0";
      break;
    case DesignField::HubDiameter:
      if (value < 0.0) return "the hub diameter must not be negative";
      break;
    case DesignField::PitchRatio:
    case DesignField::AreaRatio:
      if (!(value > 0.0)) return fieldName(ref) + " must be greater than 0";
      return {};
    case DesignField::RakeAngle:
      if (!(std::fabs(value) < 90.0)) return "the rake angle must lie between -90 and 90 degrees";
      return {};
    case DesignField::ContourCode:
      if (value == contourTerminatorCode) {
        return "99 ends the contour list in the design file and cannot be a point's code";
      }
      return {};
    default: break;
  }
  if (std::fabs(value) > maxFieldMetres) {
    return fieldName(ref) + " lies more than 10000 m from the origin";
  }
  return {};
}

}  // namespace

double fieldValue(const DesignData& design, FieldRef ref) {
  return fieldSlot(const_cast<DesignData&>(design), ref);
}

void setFieldValue(DesignData& design, FieldRef ref, double value) { fieldSlot(design, ref) = value; }

std::string fieldName(FieldRef ref) {
  const std::string corner = "rudder corner " + std::to_string(ref.index);
  const std::string point = "contour point " + std::to_string(ref.index);
  switch (ref.field) {
    case DesignField::PropellerCentreX: return "propeller centre x";
    case DesignField::PropellerCentreZ: return "propeller centre z";
    case DesignField::WaterlineHeight: return "waterline height";
    case DesignField::PropellerDiameter: return "D";
    case DesignField::HubDiameter: return "Dh";
    case DesignField::PitchRatio: return "P/D";
    case DesignField::AreaRatio: return "Ear";
    case DesignField::RakeAngle: return "rake angle";
    case DesignField::RudderX: return corner + " x";
    case DesignField::RudderZ: return corner + " z";
    case DesignField::ContourZ: return point + " z";
    case DesignField::ContourX: return point + " x";
    case DesignField::ContourCode: return point + " code";
  }
  return "value";
}

FieldEntry checkFieldText(FieldRef ref, std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.empty()) return {std::nullopt, fieldName(ref) + " needs a number"};
  const ParsedNumber number = parseDecimalNumber(text);
  if (number.status != NumberStatus::Valid) {
    std::string fault(1, '"');
    fault.append(text);
    fault += number.status == NumberStatus::Malformed ? "\" is not a number (" : "\" is out of range (";
    fault += fieldName(ref);
    fault += ')';
    return {std::nullopt, std::move(fault)};
  }
  std::string fault = rangeFault(ref, number.value);
  if (!fault.empty()) return {std::nullopt, std::move(fault)};
  return {number.value, {}};
}

}  // namespace propclear
