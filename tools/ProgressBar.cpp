#include "tools/ProgressBar.h"

#include <algorithm>

namespace tools {

ProgressBar::ProgressBar(std::ostream* out, std::string label, std::uint64_t total)
    : m_out(out), m_label(std::move(label)), m_total(std::max<std::uint64_t>(total, 1)) {}

ProgressBar::~ProgressBar() {
    // An interrupted run (an exception) still leaves the terminal on a fresh line.
    if (m_open) *m_out << "\n" << std::flush;
}

void ProgressBar::draw(std::uint64_t done) {
    done = std::min(done, m_total);
    const auto percent = static_cast<int>(done * 100 / m_total);
    const auto filled = static_cast<int>(done * kWidth / m_total);
    std::string line = "\r" + m_label + " [";
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(kWidth - filled), '.');
    line += "] " + std::to_string(percent) + "%";
    *m_out << line << std::flush;
    m_open = true;
    // The smallest count whose percentage is one more than this one's.
    m_next = percent >= 100 ? UINT64_MAX : ((static_cast<std::uint64_t>(percent) + 1) * m_total + 99) / 100;
}

void ProgressBar::finish() {
    if (!m_out) return;
    draw(m_total);
    *m_out << "\n" << std::flush;
    m_open = false;
}

}  // namespace tools
