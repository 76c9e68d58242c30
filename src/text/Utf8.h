#pragma once

#include <QtGlobal>

namespace vantrel {

// The length of the valid UTF-8 sequence at data[0] (1 to 4), or 0 when the
// byte starts none (stray continuation byte, overlong form, surrogate,
// beyond U+10FFFF, cut short by `available`). `code`, when given, receives
// the code point of a valid sequence.
[[nodiscard]] int utf8SequenceLength(const unsigned char* data, qsizetype available,
                                     char32_t* code = nullptr);

}  // namespace vantrel
