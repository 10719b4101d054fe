#include "dxf_test_support.h"

#include <gtest/gtest.h>

#include <charconv>


namespace propclear::test {

bool DxfEntity::has(int code) const {
  for (const DxfGroup& group : groups) {
    if (group.first == code) return true;
  }
  return false;
}

std::string DxfEntity::value(int code) const {
  for (const DxfGroup& group : groups) {
    if (group.first == code) return group.second;
  }
  return "";
}

std::vector<DxfGroup> dxfGroupsOf(const std::vector<std::string>& lines) {
  std::vector<DxfGroup> groups;
  EXPECT_EQ(lines.size() % 2, 0u) << "a group code without its value";
  for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
    const std::string& codeText = lines[i];
    const std::size_t start = codeText.find_first_not_of(' ');
    int code = -1;
    const auto result = start == std::string::npos
                            ? std::from_chars_result{nullptr, std::errc::invalid_argument}
                            : std::from_chars(codeText.data() + start,
                                              codeText.data() + codeText.size(), code);
    EXPECT_TRUE(result.ec == std::errc() && result.ptr == codeText.data() + codeText.size())
        << "line " << i + 1 << " is no group code: \"" << codeText << "\"";
    groups.emplace_back(code, lines[i + 1]);
  }
  return groups;
}

std::vector<DxfEntity> dxfEntitiesOf(const std::vector<std::string>& lines) {
  const std::vector<DxfGroup> groups = dxfGroupsOf(lines);
  std::vector<DxfEntity> entities;
  bool inEntities = false;
  bool inPolyline = false;
  DxfEntity* owner = nullptr;  // what the next groups belong to; nothing after SEQEND
  for (const DxfGroup& group : groups) {
    const auto& [code, value] = group;
    if (code == 2 && value == "ENTITIES") inEntities = true;
    if (!inEntities) continue;
    if (code != 0) {
      if (owner != nullptr) owner->groups.push_back(group);
      continue;
    }
    if (value == "ENDSEC") break;
    if (value == "SEQEND") {
      inPolyline = false;
      owner = nullptr;
    } else if (value == "VERTEX" && inPolyline) {
      entities.back().vertices.push_back({value, {}, {}});
      owner = &entities.back().vertices.back();
    } else {
      entities.push_back({value, {}, {}});
      inPolyline = value == "POLYLINE";
      owner = &entities.back();
    }
  }
  return entities;
}

std::vector<std::pair<std::string, int>> dxfLayersOf(const std::vector<std::string>& lines) {
  const std::vector<DxfGroup> groups = dxfGroupsOf(lines);
  std::vector<std::pair<std::string, int>> layers;
  bool inLayer = false;
  for (const auto& [code, value] : groups) {
    if (code == 0) inLayer = value == "LAYER";
    if (!inLayer) continue;
    if (code == 2) layers.emplace_back(value, 0);
    if (code == 62) layers.back().second = std::stoi(value);
  }
  return layers;
}

}  // namespace propclear::test
