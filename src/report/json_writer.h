#pragma once
// Builds JSON text with two-blank indentation; small records can stay on one
// line. The caller opens and closes containers in the right order.

#include <string>
#include <string_view>
#include <vector>

namespace propclear {

class JsonWriter {
 public:
  enum class Layout { Block, Inline };

  void openObject(Layout layout = Layout::Block);
  void openArray(Layout layout = Layout::Block);
  void close();
  // Names the member whose value comes next.
  void key(std::string_view name);
  void value(std::string_view text);
  void value(const char* text) { value(std::string_view(text)); }
  void value(int number);
  // A non-finite number is an arithmetic fault naming `what`.
  void value(double number, const char* what);
  void value(bool flag);
  void null();
  // A value that is JSON text already (a document another writer made); its
  // final line end is dropped.
  void raw(std::string_view json);

  // A member: its name, then its value (a number that is not finite is an
  // arithmetic fault naming the member).
  void member(const char* name, double number) { key(name), value(number, name); }
  void member(const char* name, std::string_view text) { key(name), value(text); }
  void member(const char* name, const char* text) { key(name), value(text); }
  void member(const char* name, bool flag) { key(name), value(flag); }

  // The document, ended by a line end.
  std::string text() const { return out_ + "\n"; }

 private:
  struct Container {
    Layout layout;
    char closer;
    int items = 0;
  };

  void open(char opener, char closer, Layout layout);
  void beginItem();
  void beforeValue();
  void newLine(std::size_t depth);

  std::string out_;
  std::vector<Container> open_;
  bool afterKey_ = false;
};

}  // namespace propclear
