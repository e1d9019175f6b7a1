// Strict UTF-8 <-> UTF-16 for the POSIX platform layer, refusing exactly
// what the Windows conversion refuses with MB_ERR_INVALID_CHARS: stray or
// missing continuation bytes, overlong forms, encoded surrogates and values
// above U+10FFFF.
#ifndef WIDESAVE_UTF8_H
#define WIDESAVE_UTF8_H

#include <cstddef>

namespace widesave {

constexpr std::size_t kInvalidUtf8 = static_cast<std::size_t>(-1);

// Decodes length bytes; stores at most capacity units (no terminator) and
// returns how many units the whole text takes, or kInvalidUtf8.
std::size_t decode_utf8(const char* text, std::size_t length, char16_t* out, std::size_t capacity);

// Encodes terminated, well-formed UTF-16 into out, terminator included.
// False on a lone surrogate or when it does not fit.
bool encode_utf8(const char16_t* text, char* out, std::size_t capacity);

}  // namespace widesave

#endif
