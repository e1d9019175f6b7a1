// Bounded UTF-16 text building for paths: the core's own formatter, so the
// same code runs where wchar_t is 16 bits and where it is 32.
#ifndef WIDESAVE_UTF16_TEXT_H
#define WIDESAVE_UTF16_TEXT_H

#include <cstddef>
#include <cstdint>

namespace widesave {

std::size_t u16_length(const char16_t* text);

// Appends into a caller's buffer; once anything fails to fit, the writer
// stays failed and finish() reports it.
struct Utf16Writer {
    char16_t* out;
    std::size_t capacity;  // units, terminator included
    std::size_t length;
    bool overflow;
};

Utf16Writer make_writer(char16_t* out, std::size_t capacity);
void append_text(Utf16Writer& writer, const char16_t* text);
void append_unit(Utf16Writer& writer, char16_t unit);
void append_decimal(Utf16Writer& writer, std::int32_t value);
// Terminates the text; false if it, with its terminator, did not fit.
bool finish(Utf16Writer& writer);

}  // namespace widesave

#endif
