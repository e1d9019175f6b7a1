#include "utf16_text.h"

namespace widesave {

std::size_t u16_length(const char16_t* text) {
    std::size_t length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return length;
}

Utf16Writer make_writer(char16_t* out, std::size_t capacity) {
    return Utf16Writer{out, capacity, 0, capacity == 0};
}

void append_unit(Utf16Writer& writer, char16_t unit) {
    // One unit is always kept free for the terminator.
    if (writer.overflow || writer.length + 1 >= writer.capacity) {
        writer.overflow = true;
        return;
    }
    writer.out[writer.length++] = unit;
}

void append_text(Utf16Writer& writer, const char16_t* text) {
    for (; *text != 0 && !writer.overflow; ++text) {
        append_unit(writer, *text);
    }
}

void append_decimal(Utf16Writer& writer, std::int32_t value) {
    // Widened first so that the most negative value negates safely.
    std::int64_t wide = value;
    if (wide < 0) {
        append_unit(writer, u'-');
        wide = -wide;
    }
    char16_t digits[10];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + wide % 10);
        wide /= 10;
    } while (wide != 0);
    while (count > 0) {
        append_unit(writer, digits[--count]);
    }
}

bool finish(Utf16Writer& writer) {
    if (writer.capacity > 0) {
        writer.out[writer.overflow ? 0 : writer.length] = 0;
    }
    return !writer.overflow;
}

}  // namespace widesave
