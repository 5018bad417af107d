#pragma once
// Phase unwrap: data that roll over (an angle kept within pi or 2 pi, a
// counter that restarts every period) get the rollover added or subtracted
// from every jump of at least half its size on.
#include <vector>

namespace unwrapping {

// How the rollover of a curve is found.
enum class Rollover {
    Given,  // the phase passed in
    Pi,     // the range of the data is pi (within 0.003)
    TwoPi,  // the range is 2 pi (within 0.006)
    Ask,    // none of these: the user is asked for the signal frequency
    Skip,   // nothing to unwrap: fewer than 2 points, or no spread
};

struct Plan {
    Rollover kind = Rollover::Skip;
    double rollover = 0;   // the value added or subtracted
    double threshold = 0;  // jumps of at least this size count
    double range = 0;      // largest minus smallest finite y
};

// The rollover and threshold of a curve for a phase (0: recognise or ask).
Plan planUnwrap(const std::vector<double>& points, double phase);

// The rollover suggested when the user is asked, in y units, from the
// largest jump of the data (range: Plan::range).
double suggestedRollover(const std::vector<double>& points, double range);

// Unwraps the y values. rollover is added where the data drop (b - o >= 0,
// or > 0 when asked) and subtracted where they rise.
void unwrapY(std::vector<double>& points, const Plan& plan);

} // namespace unwrapping
