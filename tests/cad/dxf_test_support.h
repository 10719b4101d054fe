#pragma once
// Reading back what the DXF writer wrote: shared by the DXF tests.

#include <string>
#include <utility>
#include <vector>


namespace propclear::test {

using DxfGroup = std::pair<int, std::string>;

struct DxfEntity {
  std::string type;
  std::vector<DxfGroup> groups;     // after the entity's 0 group
  std::vector<DxfEntity> vertices;  // of a POLYLINE, without its SEQEND

  bool has(int code) const;
  // The value of the first group with `code`; "" when there is none.
  std::string value(int code) const;
};

// The file's lines as (code, value) pairs; fails the test on a malformed code.
std::vector<DxfGroup> dxfGroupsOf(const std::vector<std::string>& lines);
// The entities of the ENTITIES section, polylines with their vertices.
std::vector<DxfEntity> dxfEntitiesOf(const std::vector<std::string>& lines);
// Layer name and colour of the LAYER table, in order.
std::vector<std::pair<std::string, int>> dxfLayersOf(const std::vector<std::string>& lines);

}  // namespace propclear::test
