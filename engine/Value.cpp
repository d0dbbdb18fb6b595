#include "engine/Value.h"

namespace engine {

bool is_known_field_type(std::uint8_t type) {
    switch (type) {
    case 0x01: case 0x02: case 0x03: case 0x04: case 0x05: case 0x06: case 0x09: case 0x0C: case 0x0D:
    case 0x0E: case 0x0F: case 0x10: case 0x14: case 0x15: case 0x16: case 0x17: case 0x18:
        return true;
    default:
        return false;
    }
}

bool is_blob_type(FieldType type) {
    return type == FieldType::Memo || type == FieldType::Blob || type == FieldType::FormattedMemo ||
           type == FieldType::Ole || type == FieldType::Graphic;
}

std::string_view field_type_name(FieldType type) {
    switch (type) {
    case FieldType::Alpha: return "A";
    case FieldType::Date: return "D";
    case FieldType::Short: return "S";
    case FieldType::Long: return "I";
    case FieldType::Currency: return "$";
    case FieldType::Number: return "N";
    case FieldType::Logical: return "L";
    case FieldType::Memo: return "M";
    case FieldType::Blob: return "B";
    case FieldType::FormattedMemo: return "F";
    case FieldType::Ole: return "O";
    case FieldType::Graphic: return "G";
    case FieldType::Time: return "T";
    case FieldType::Timestamp: return "@";
    case FieldType::AutoInc: return "+";
    case FieldType::Bcd: return "#";
    case FieldType::Bytes: return "Y";
    }
    return "?";
}

// Day 1 is 0001-01-01; 1970-01-01 is day 719163. Civil-from-days after H. Hinnant.
CivilDate date_from_days(std::int64_t days) {
    std::int64_t z = days - 719163 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    return {static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

std::int64_t days_from_date(int year, int month, int day) {
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = month > 2 ? month - 3 : month + 9;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + 719163;
}

}  // namespace engine
