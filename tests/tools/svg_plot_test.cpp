// The SVG plot of the transient command: units scaled to an SI prefix, both ends of the current axis labelled, and
// a million points decimated to a small file that keeps the peaks.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>

#include "putil_svg_plot.h"

namespace {

std::string plot(const std::vector<double>& x, const std::vector<double>& y)
{
    std::ostringstream out;
    putil_write_svg_line_plot(out, "current <&> time", PUTIL_PLOT_AXIS{"time", "s"}, PUTIL_PLOT_AXIS{"current", "A"},
                              x, y);
    return out.str();
}

// The y pixel of every point of the curve.
std::vector<double> curve_ys(const std::string& svg)
{
    const std::size_t start = svg.find("points=\"") + 8;
    std::istringstream points(svg.substr(start, svg.find('"', start) - start));
    std::vector<double> ys;
    for (std::string point; points >> point;)
        ys.push_back(std::stod(point.substr(point.find(',') + 1)));
    return ys;
}

TEST(SVG_PLOT_TEST, labels_axes_with_prefixed_units_and_escapes_text)
{
    const std::string svg = plot({0.0, 10e-9, 20e-9}, {0.0, 2.5e-3, 1e-3});
    EXPECT_NE(svg.find("time (ns)"), std::string::npos);
    EXPECT_NE(svg.find("current (mA)"), std::string::npos);
    EXPECT_NE(svg.find("current &lt;&amp;&gt; time"), std::string::npos);
    // Ticks at 0, 0.5 ... 2.5 mA: the top of the axis is labelled.
    EXPECT_NE(svg.find(">2.5</text>"), std::string::npos);
    EXPECT_NE(svg.find(">20</text>"), std::string::npos);
    EXPECT_EQ(curve_ys(svg).size(), 3u);
}

TEST(SVG_PLOT_TEST, decimates_a_million_points_and_keeps_the_peaks)
{
    std::vector<double> x, y;
    for (int i = 0; i < 1000000; ++i) {
        x.push_back(i * 1e-10);
        y.push_back(i == 654321 ? 9e-3 : 1e-3 * (1 + std::sin(i * 0.01)));
    }
    const std::string svg = plot(x, y);
    EXPECT_LT(svg.size(), 200000u);
    const std::vector<double> ys = curve_ys(svg);
    EXPECT_LT(ys.size(), 4000u);
    // The one spike to 9 mA is the highest point drawn: the top of the 0..10 mA axis is at 50, 0 at 470.
    EXPECT_NEAR(*std::min_element(ys.begin(), ys.end()), 470 - 0.9 * 420, 0.1);
}

TEST(SVG_PLOT_TEST, draws_an_empty_or_flat_waveform)
{
    EXPECT_TRUE(curve_ys(plot({}, {})).empty());
    EXPECT_EQ(curve_ys(plot({0.0, 1e-6}, {0.0, 0.0})).size(), 2u);
}

}  // namespace
