#include "common/standard_output_buffer.h"

namespace propclear {

namespace {

// Written out in pieces of this size at most, as stdio would.
constexpr std::size_t pendingBytesLimit = 4096;

}  // namespace

StandardOutputBuffer::StandardOutputBuffer() : output_(os::WrittenFile::standardOutput()) {}

StandardOutputBuffer::int_type StandardOutputBuffer::overflow(int_type character) {
  if (!traits_type::eq_int_type(character, traits_type::eof())) {
    pending_.push_back(traits_type::to_char_type(character));
    if (pending_.size() >= pendingBytesLimit) sync();
  }
  return firstError_ ? traits_type::eof() : traits_type::not_eof(character);
}

std::streamsize StandardOutputBuffer::xsputn(const char* text, std::streamsize count) {
  pending_.append(text, static_cast<std::size_t>(count));
  if (pending_.size() >= pendingBytesLimit) sync();
  return firstError_ ? 0 : count;
}

int StandardOutputBuffer::sync() {
  writeOut(pending_);
  pending_.clear();
  return firstError_ ? -1 : 0;
}

void StandardOutputBuffer::writeOut(std::string_view bytes) {
  if (bytes.empty() || firstError_) return;
  firstError_ = output_.write(bytes);
}

}  // namespace propclear
