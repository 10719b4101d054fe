#pragma once
// The buffer behind std::cout: it writes to descriptor 1 through the
// operating-system layer and keeps the first write error with the system's
// reason, so that an answer lost on its way (a full disk, a failing pipe)
// can be reported when the program ends, whichever write met the error.

#include <streambuf>
#include <string>
#include <system_error>

#include "common/operating_system.h"

namespace propclear {

class StandardOutputBuffer : public std::streambuf {
 public:
  StandardOutputBuffer();
  StandardOutputBuffer(const StandardOutputBuffer&) = delete;
  StandardOutputBuffer& operator=(const StandardOutputBuffer&) = delete;

  // The first write that failed, or none.
  const std::error_code& firstError() const { return firstError_; }

 protected:
  int_type overflow(int_type character) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  void writeOut(std::string_view bytes);

  os::WrittenFile output_;
  std::string pending_;
  std::error_code firstError_;
};

}  // namespace propclear
