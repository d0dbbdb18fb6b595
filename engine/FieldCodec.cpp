#include "engine/FieldCodec.h"

#include "engine/EngineError.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace engine {
namespace {

std::uint64_t be(const unsigned char* p, int n) {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
    return v;
}
void put_be(unsigned char* p, int n, std::uint64_t v) {
    for (int i = n - 1; i >= 0; --i) {
        p[i] = static_cast<unsigned char>(v & 0xFF);
        v >>= 8;
    }
}
bool all_zero(const unsigned char* p, int n) {
    for (int i = 0; i < n; ++i)
        if (p[i]) return false;
    return true;
}

double decode_double(const unsigned char* raw) {
    std::uint64_t u = be(raw, 8);
    u = (u & 0x8000000000000000ULL) ? (u ^ 0x8000000000000000ULL) : ~u;
    return std::bit_cast<double>(u);
}
void encode_double(unsigned char* raw, double v) {
    if (v == 0) v = 0.0;  // no negative zero: it would encode as blank's neighbour
    std::uint64_t u = std::bit_cast<std::uint64_t>(v);
    u = (u & 0x8000000000000000ULL) ? ~u : (u | 0x8000000000000000ULL);
    put_be(raw, 8, u);
}

// BCD: a byte holding the sign (bit 7 set for positive) and the count of
// decimals, then 32 digit nibbles, the last `decimals` of them after the point;
// negative numbers store every nibble inverted.
double decode_bcd(const unsigned char* raw, int decimals) {
    const bool positive = (raw[0] & 0x80) != 0;
    double v = 0;
    for (int i = 0; i < 32; ++i) {
        int nibble = (raw[1 + i / 2] >> (i % 2 == 0 ? 4 : 0)) & 0x0F;
        if (!positive) nibble = 0x0F - nibble;
        v = v * 10 + (nibble > 9 ? 9 : nibble);
    }
    v /= std::pow(10.0, decimals);
    return positive ? v : -v;
}

std::int64_t as_integer(const FieldDesc& field, const Value& v) {
    if (v.kind == ValueKind::Integer || v.kind == ValueKind::Date || v.kind == ValueKind::Time ||
        v.kind == ValueKind::Logical)
        return v.integer;
    if (v.kind == ValueKind::Float) return static_cast<std::int64_t>(std::llround(v.number));
    throw EngineError(kErrInvalidArgument, "Field " + field.name + " needs a number");
}

}  // namespace

void decode_alpha(const FieldDesc& field, const unsigned char* raw, const CodePage& cp, std::string& out) {
    const std::size_t width = static_cast<std::size_t>(std::max(field.width, 0));
    const void* end = std::memchr(raw, 0, width);
    // clear + append: into a buffer with room this is a plain copy (assign takes the general replace path).
    out.clear();
    out.append(reinterpret_cast<const char*>(raw), end ? static_cast<std::size_t>(static_cast<const unsigned char*>(end) - raw) : width);
    if (!cp.is_identity())
        for (auto& c : out) c = static_cast<char>(cp.to_ansi(static_cast<unsigned char>(c)));
}

Value decode_field(const FieldDesc& field, const unsigned char* raw, const CodePage& cp) {
    if (is_blob_type(field.type)) {
        Value v;
        v.kind = ValueKind::Blob;
        return v;
    }
    if (all_zero(raw, field.width)) return Value::null();
    switch (field.type) {
    case FieldType::Alpha: {
        Value v;
        v.kind = ValueKind::Text;
        decode_alpha(field, raw, cp, v.text);
        return v;
    }
    case FieldType::Short: return Value::of_int(static_cast<std::int16_t>(be(raw, 2) ^ 0x8000));
    case FieldType::Long:
    case FieldType::AutoInc: return Value::of_int(static_cast<std::int32_t>(be(raw, 4) ^ 0x80000000U));
    case FieldType::Date: return Value::of_date(static_cast<std::int32_t>(be(raw, 4) ^ 0x80000000U));
    case FieldType::Time: return Value::of_time(static_cast<std::int32_t>(be(raw, 4) ^ 0x80000000U));
    case FieldType::Number:
    case FieldType::Currency: return Value::of_float(decode_double(raw));
    case FieldType::Timestamp: return Value::of_timestamp(decode_double(raw));
    case FieldType::Logical: return Value::of_bool((raw[0] & 0x7F) != 0);
    case FieldType::Bcd:
        // Neither the sign bit nor the "set" bit: a blank that carries only its decimals.
        if ((raw[0] & 0xC0) == 0) return Value::null();
        return Value::of_float(decode_bcd(raw, field.size));
    case FieldType::Bytes: return Value::of_bytes(std::string_view(reinterpret_cast<const char*>(raw), static_cast<std::size_t>(field.width)));
    default: break;
    }
    return Value::null();
}

void encode_field(const FieldDesc& field, const Value& value, const CodePage& cp, unsigned char* raw) {
    std::memset(raw, 0, static_cast<std::size_t>(field.width));
    if (value.is_null()) return;
    switch (field.type) {
    case FieldType::Alpha: {
        if (value.kind != ValueKind::Text) throw EngineError(kErrInvalidArgument, "Field " + field.name + " needs text");
        const std::size_t n = std::min(value.text.size(), static_cast<std::size_t>(field.width));
        for (std::size_t i = 0; i < n && value.text[i] != 0; ++i)
            raw[i] = cp.from_ansi(static_cast<unsigned char>(value.text[i]));
        return;
    }
    case FieldType::Short: {
        const std::int64_t v = as_integer(field, value);
        if (v < -32767 || v > 32767) throw EngineError(kErrInvalidArgument, "Value out of range for field " + field.name);
        put_be(raw, 2, static_cast<std::uint16_t>(v) ^ 0x8000U);
        return;
    }
    case FieldType::Long:
    case FieldType::AutoInc:
    case FieldType::Date:
    case FieldType::Time: {
        const std::int64_t v = as_integer(field, value);
        if (v < -2147483647LL || v > 2147483647LL) throw EngineError(kErrInvalidArgument, "Value out of range for field " + field.name);
        put_be(raw, 4, static_cast<std::uint32_t>(v) ^ 0x80000000U);
        return;
    }
    case FieldType::Number:
    case FieldType::Currency:
    case FieldType::Timestamp: {
        double v = value.kind == ValueKind::Float || value.kind == ValueKind::Timestamp ? value.number
                                                                                          : static_cast<double>(as_integer(field, value));
        if (!std::isfinite(v)) throw EngineError(kErrInvalidArgument, "Value out of range for field " + field.name);
        encode_double(raw, v);
        return;
    }
    case FieldType::Logical:
        raw[0] = as_integer(field, value) ? 0x81 : 0x80;
        return;
    case FieldType::Bytes: {
        const std::size_t n = std::min(value.text.size(), static_cast<std::size_t>(field.width));
        std::memcpy(raw, value.text.data(), n);
        return;
    }
    default:
        throw EngineError(kErrUnsupported, "Field " + field.name + " of this type cannot be written");
    }
}

}  // namespace engine
