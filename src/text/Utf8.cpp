#include "text/Utf8.h"

namespace vantrel {

int utf8SequenceLength(const unsigned char* d, qsizetype available, char32_t* code) {
    if (available <= 0)
        return 0;
    const unsigned char b = d[0];
    if (b < 0x80) {
        if (code)
            *code = b;
        return 1;
    }
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    char32_t c = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        c = b & 0x0F;
        if (b == 0xE0)
            low = 0xA0;  // no overlong forms
        else if (b == 0xED)
            high = 0x9F;  // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        c = b & 0x07;
        if (b == 0xF0)
            low = 0x90;
        else if (b == 0xF4)
            high = 0x8F;  // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (available < length || d[1] < low || d[1] > high)
        return 0;
    c = (c << 6) | (d[1] & 0x3F);
    for (int i = 2; i < length; ++i) {
        if (d[i] < 0x80 || d[i] > 0xBF)
            return 0;
        c = (c << 6) | (d[i] & 0x3F);
    }
    if (code)
        *code = c;
    return length;
}

}  // namespace vantrel
