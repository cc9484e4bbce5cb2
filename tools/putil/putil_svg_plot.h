// A line plot of y against x as a standalone SVG document that browsers
// show: labelled axes with units, readable ticks, the curve decimated to
// what the plot's width can show.
#pragma once

#include <ostream>
#include <string>
#include <vector>

struct PUTIL_PLOT_AXIS {
    std::string quantity;   // "time"
    std::string unit;       // "s": ticks are scaled to an SI prefix ("µs")
};

// x and y have the same length; x does not decrease. Points beyond what one
// pixel column can show are reduced to the first, lowest, highest and last
// point of the column, so that peaks survive and the file stays small
// however many points there are.
void putil_write_svg_line_plot(std::ostream& out, const std::string& title, const PUTIL_PLOT_AXIS& x_axis,
                               const PUTIL_PLOT_AXIS& y_axis, const std::vector<double>& x,
                               const std::vector<double>& y);
