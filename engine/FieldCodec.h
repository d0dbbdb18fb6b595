// Field values in their Paradox record form and back.
//
// Numbers are stored big-endian with the sign bit flipped (doubles: negative
// ones inverted), and all-zero bytes mean blank; so the raw bytes of a numeric
// field already sort as the numbers do, which the index code relies on.
#pragma once

#include "engine/CodePage.h"
#include "engine/Value.h"

#include <string>

namespace engine {

// Value of a field from its raw bytes; alpha text translated to CP1251.
Value decode_field(const FieldDesc& field, const unsigned char* raw, const CodePage& cp);
// Alpha field text in CP1251 into out (cleared first), without the padding.
void decode_alpha(const FieldDesc& field, const unsigned char* raw, const CodePage& cp, std::string& out);
// Raw bytes of a value for the field (field.width bytes at raw). Text is cut to
// the field's size. Throws EngineError (kErrInvalidArgument) for a value of the
// wrong kind or a blob field.
void encode_field(const FieldDesc& field, const Value& value, const CodePage& cp, unsigned char* raw);

}  // namespace engine
