// Names are UTF-8 inside the program on Windows too. The standard library
// turns a std::string into a std::filesystem::path (UTF-16 on Windows), and
// a path back into a std::string, with the facet
// std::codecvt<wchar_t, char, std::mbstate_t>; mingw-w64's libstdc++ takes
// the C runtime's conversion for it, which in the "C" locale maps each byte
// to one UTF-16 unit ("Ş", C5 9E, became "Å\x9e"), and Microsoft's older C
// runtime has no UTF-8 locale to set instead. The program links the
// standard library statically and defines the facet's conversions here,
// as UTF-8: the library's own members are then never linked in, and every
// path made from text, by the program or by a library such as CLI11, names
// the file the user named. The arguments arrive as UTF-8 by the program's
// manifest (activeCodePage, packaging/windows/propclear.manifest).
//
// The five members replace those of libstdc++'s codecvt_members.o (the
// "generic" locale model) whole; a member left out would link that object
// and clash with these.

#include <cwchar>
#include <locale>

namespace {

using Facet = std::codecvt<wchar_t, char, std::mbstate_t>;

// The number of bytes of the UTF-8 sequence starting with `lead`, or 0 for
// a byte that cannot start one.
int sequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The code point of the whole sequence [from, from + length), or -1 when it
// is malformed: a continuation byte missing, an overlong form, a surrogate,
// beyond U+10FFFF.
long decodeSequence(const unsigned char* from, int length) {
  static constexpr long leadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  static constexpr long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  long codePoint = from[0] & leadMask[length];
  for (int i = 1; i < length; ++i) {
    if ((from[i] & 0xC0) != 0x80) return -1;
    codePoint = (codePoint << 6) | (from[i] & 0x3F);
  }
  if (codePoint < smallest[length] || codePoint > 0x10FFFF ||
      (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
    return -1;
  }
  return codePoint;
}

}  // namespace

namespace std {

// UTF-8 to UTF-16. Stops before an incomplete sequence at the end (partial)
// and at a malformed one (error).
codecvt_base::result Facet::do_in(state_type& /*state*/, const char* from, const char* fromEnd,
                                  const char*& fromNext, wchar_t* to, wchar_t* toEnd,
                                  wchar_t*& toNext) const {
  result outcome = ok;
  while (from != fromEnd) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(from);
    const int length = sequenceLength(bytes[0]);
    if (length == 0) {
      outcome = error;
      break;
    }
    if (fromEnd - from < length) {
      outcome = partial;
      break;
    }
    const long codePoint = decodeSequence(bytes, length);
    if (codePoint < 0) {
      outcome = error;
      break;
    }
    const int units = codePoint >= 0x10000 ? 2 : 1;
    if (toEnd - to < units) {
      outcome = partial;
      break;
    }
    if (units == 1) {
      *to++ = static_cast<wchar_t>(codePoint);
    } else {
      *to++ = static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10));
      *to++ = static_cast<wchar_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
    }
    from += length;
  }
  fromNext = from;
  toNext = to;
  return outcome;
}

// UTF-16 to UTF-8. A lone surrogate is an error; a high surrogate at the end
// of the input waits for its pair (partial).
codecvt_base::result Facet::do_out(state_type& /*state*/, const wchar_t* from,
                                   const wchar_t* fromEnd, const wchar_t*& fromNext, char* to,
                                   char* toEnd, char*& toNext) const {
  result outcome = ok;
  while (from != fromEnd) {
    long codePoint = static_cast<unsigned short>(from[0]);
    int units = 1;
    if (codePoint >= 0xD800 && codePoint <= 0xDBFF) {
      if (fromEnd - from < 2) {
        outcome = partial;
        break;
      }
      const long low = static_cast<unsigned short>(from[1]);
      if (low < 0xDC00 || low > 0xDFFF) {
        outcome = error;
        break;
      }
      codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00);
      units = 2;
    } else if (codePoint >= 0xDC00 && codePoint <= 0xDFFF) {
      outcome = error;
      break;
    }
    const int length = codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
    if (toEnd - to < length) {
      outcome = partial;
      break;
    }
    static constexpr unsigned char leadMark[] = {0, 0x00, 0xC0, 0xE0, 0xF0};
    for (int i = length - 1; i > 0; --i) {
      to[i] = static_cast<char>(0x80 | (codePoint & 0x3F));
      codePoint >>= 6;
    }
    to[0] = static_cast<char>(leadMark[length] | codePoint);
    to += length;
    from += units;
  }
  fromNext = from;
  toNext = to;
  return outcome;
}

// Variable length: 0, as for any multibyte encoding.
int Facet::do_encoding() const noexcept { return 0; }

int Facet::do_max_length() const noexcept { return 4; }

// The bytes of [from, fromEnd) that make up at most `most` UTF-16 units.
int Facet::do_length(state_type& /*state*/, const char* from, const char* fromEnd,
                     size_t most) const {
  const char* const start = from;
  size_t units = 0;
  while (from != fromEnd) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(from);
    const int length = sequenceLength(bytes[0]);
    if (length == 0 || fromEnd - from < length || decodeSequence(bytes, length) < 0) break;
    const size_t needed = length == 4 ? 2 : 1;
    if (units + needed > most) break;
    units += needed;
    from += length;
  }
  return static_cast<int>(from - start);
}

}  // namespace std
