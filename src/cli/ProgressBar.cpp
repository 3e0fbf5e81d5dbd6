#include "ProgressBar.h"

#include <string>

ProgressBar::ProgressBar(std::ostream& terminal, std::size_t total, bool enabled)
    : terminal_(terminal), total_(total), active_(enabled && total > fewestItems) {
    if (active_)
        draw();
}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::advance() {
    ++done_;
    // Redraw when a percent more is done, and at the end.
    if (active_ && ((done_ - drawnAt_) * 100 >= total_ || done_ == total_))
        draw();
}

void ProgressBar::draw() {
    drawnAt_ = done_;
    const std::size_t filled = done_ * width / total_;
    const std::string count = std::to_string(total_);
    std::string done = std::to_string(done_);
    done.insert(0, count.size() - done.size(), ' ');
    terminal_ << "\r[" << std::string(filled, '#') << std::string(width - filled, '.') << "]  "
              << done << '/' << count << std::flush;
}

void ProgressBar::finish() {
    if (!active_)
        return;
    active_ = false;
    terminal_ << "\r\033[K" << std::flush;
}
