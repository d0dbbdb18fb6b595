#include "platform/forms/ScrollBarModel.h"

#include <algorithm>
#include <cstdint>

namespace forms {

namespace {

// a × b / c rounded to the nearest, halves away from zero.
int mul_div(int a, int b, int c) {
    if (c == 0) return 0;
    const std::int64_t p = static_cast<std::int64_t>(a) * b;
    const std::int64_t q = (p >= 0) == (c > 0) ? (2 * p + c) / (2 * std::int64_t{c}) : (2 * p - c) / (2 * std::int64_t{c});
    return static_cast<int>(q);
}

}  // namespace

int ScrollBarModel::max_pos() const {
    return std::max(m_values.min, m_values.max - std::max(m_values.page - 1, 0));
}

bool ScrollBarModel::set_values(const ScrollValues& values) {
    ScrollValues v = values;
    if (v.max < v.min) v.max = v.min;
    const std::int64_t span = std::int64_t{v.max} - v.min + 1;
    v.page = static_cast<int>(std::clamp<std::int64_t>(v.page, 0, span));
    const int top = std::max(v.min, v.max - std::max(v.page - 1, 0));
    v.pos = std::clamp(v.pos, v.min, top);
    const bool changed = v.min != m_values.min || v.max != m_values.max || v.page != m_values.page || v.pos != m_values.pos;
    m_values = v;
    return changed;
}

bool ScrollBarModel::set_pos(int pos) {
    ScrollValues v = m_values;
    v.pos = pos;
    return set_values(v);
}

void ScrollBarModel::set_size(int length, int thickness) {
    m_length = std::max(length, 0);
    m_thickness = std::max(thickness, 0);
}

int ScrollBarModel::arrow_size() const { return std::min(m_thickness, m_length / 2); }

int ScrollBarModel::thumb_length() const {
    const int shaft = m_length - 2 * arrow_size();
    if (!scrollable()) return 0;
    int len = m_thickness;
    if (m_values.page > 0) len = mul_div(shaft, m_values.page, m_values.max - m_values.min + 1);
    len = std::max(len, kMinThumb);
    return len > shaft ? 0 : len;
}

int ScrollBarModel::thumb_offset_for(int pos) const {
    const int shaft = m_length - 2 * arrow_size();
    const int room = shaft - thumb_length();
    return arrow_size() + mul_div(pos - m_values.min, room, max_pos() - m_values.min);
}

int ScrollBarModel::thumb_start() const { return thumb_length() > 0 ? thumb_offset_for(track_pos()) : 0; }

int ScrollBarModel::thumb_end() const { return thumb_length() > 0 ? thumb_start() + thumb_length() : 0; }

ScrollPart ScrollBarModel::hit(int offset) const {
    if (offset < 0 || offset >= m_length) return ScrollPart::None;
    const int arrow = arrow_size();
    if (offset < arrow) return ScrollPart::LineUp;
    if (offset >= m_length - arrow) return ScrollPart::LineDown;
    // A bar too short for its thumb scrolls by its arrows only.
    if (!has_thumb()) return ScrollPart::None;
    if (offset < thumb_start()) return ScrollPart::PageUp;
    if (offset < thumb_end()) return ScrollPart::Thumb;
    return ScrollPart::PageDown;
}

void ScrollBarModel::begin_track(int pointer) {
    m_track_pos = m_values.pos;
    m_grab = pointer - thumb_start();
    m_tracking = true;
}

int ScrollBarModel::track_to(int pointer) {
    if (!m_tracking) return m_values.pos;
    const int room = m_length - 2 * arrow_size() - thumb_length();
    const int offset = pointer - m_grab - arrow_size();
    int pos = m_values.min + mul_div(std::clamp(offset, 0, std::max(room, 0)), max_pos() - m_values.min, std::max(room, 1));
    m_track_pos = std::clamp(pos, m_values.min, max_pos());
    return m_track_pos;
}

}  // namespace forms
