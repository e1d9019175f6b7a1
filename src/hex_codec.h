// Hex text <-> bytes: two digits a byte, high digit first; read in either
// case, written in upper case.
#ifndef WIDESAVE_HEX_CODEC_H
#define WIDESAVE_HEX_CODEC_H

#include <cstddef>

namespace widesave {

// 0 to 15, or -1 when c is not a hex digit.
int hexchar2number(char c);

// True when all length characters are hex digits.
bool is_hex_text(const char* text, std::size_t length);

// count bytes from 2 * count digits that the caller has already tested; a
// new block (valid even for count 0), or null when out of memory.
unsigned char* hex2bytes(const char* text, std::size_t count);

// 2 * length digits and a terminator in a new block, or null.
char* bytes2hex(const unsigned char* data, std::size_t length);

}  // namespace widesave

#endif
