// A one-line progress bar for long runs of abonix-db, redrawn in place with a
// carriage return. The caller decides whether there is a terminal to draw on
// (a null stream draws nothing), so piped output never carries the bar.
//
//   tools::ProgressBar bar(terminal ? &std::cerr : nullptr, "Reading", total);
//   for (...) bar.update(done);
//   bar.finish();
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace tools {

class ProgressBar {
public:
    ProgressBar(std::ostream* out, std::string label, std::uint64_t total);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Cheap when nothing visible changes: it redraws only when the whole
    // percentage grows.
    void update(std::uint64_t done) {
        if (m_out && done >= m_next) draw(done);
    }
    // Draws 100 % and ends the line.
    void finish();

    static constexpr int kWidth = 30;

private:
    void draw(std::uint64_t done);

    std::ostream* m_out;
    std::string m_label;
    std::uint64_t m_total;
    std::uint64_t m_next = 0;  // the first count that shows a new percentage
    bool m_open = false;       // a line is drawn and not yet ended
};

}  // namespace tools
