#pragma once

#include <cstddef>
#include <ostream>

// A one-line progress bar redrawn in place on a terminal: "[#####.....]  512/1000". It draws only
// when enabled and the total is more than a few items, redraws at most once per percent, and
// erases itself when done.
class ProgressBar {
public:
    static constexpr std::size_t fewestItems = 10;
    static constexpr int width = 40;

    ProgressBar(std::ostream& terminal, std::size_t total, bool enabled);
    ~ProgressBar();

    void advance();
    // Erases the bar; the destructor does this when it has not been called.
    void finish();

private:
    void draw();

    std::ostream& terminal_;
    std::size_t total_;
    std::size_t done_ = 0;
    std::size_t drawnAt_ = 0;
    bool active_;
};
