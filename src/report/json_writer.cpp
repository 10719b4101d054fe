#include "report/json_writer.h"

#include <charconv>

#include "report/json_text.h"

namespace propclear {

void JsonWriter::openObject(Layout layout) { open('{', '}', layout); }

void JsonWriter::openArray(Layout layout) { open('[', ']', layout); }

void JsonWriter::close() {
  const Container container = open_.back();
  open_.pop_back();
  if (container.layout == Layout::Block && container.items > 0) newLine(open_.size());
  out_ += container.closer;
}

void JsonWriter::key(std::string_view name) {
  beginItem();
  out_ += jsonString(name);
  out_ += ": ";
  afterKey_ = true;
}

void JsonWriter::value(std::string_view text) {
  beforeValue();
  out_ += jsonString(text);
}

void JsonWriter::value(int number) {
  beforeValue();
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
  out_.append(buffer, result.ptr);
}

void JsonWriter::value(double number, const char* what) {
  beforeValue();
  out_ += jsonNumber(number, what);
}

void JsonWriter::value(bool flag) {
  beforeValue();
  out_ += flag ? "true" : "false";
}

void JsonWriter::null() {
  beforeValue();
  out_ += "null";
}

void JsonWriter::raw(std::string_view json) {
  beforeValue();
  while (!json.empty() && (json.back() == '\n' || json.back() == '\r')) json.remove_suffix(1);
  out_ += json;
}

void JsonWriter::open(char opener, char closer, Layout layout) {
  beforeValue();
  out_ += opener;
  open_.push_back({layout, closer});
}

// The separator before a member or an element of the innermost container.
void JsonWriter::beginItem() {
  if (open_.empty()) return;
  Container& container = open_.back();
  if (container.items++ > 0) out_ += container.layout == Layout::Block ? "," : ", ";
  if (container.layout == Layout::Block) newLine(open_.size());
}

// A member's value follows its key directly.
void JsonWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  beginItem();
}

void JsonWriter::newLine(std::size_t depth) {
  out_ += '\n';
  out_.append(2 * depth, ' ');
}

}  // namespace propclear
