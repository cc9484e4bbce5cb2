// SVG line plot writer.
#include "putil_svg_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const double WIDTH = 960, HEIGHT = 540;
const double LEFT = 100, RIGHT = 30, TOP = 50, BOTTOM = 70;
const double PLOT_WIDTH = WIDTH - LEFT - RIGHT, PLOT_HEIGHT = HEIGHT - TOP - BOTTOM;

struct RANGE {
    double low, high;
};

// The SI prefix that shows the largest magnitude of a range with one to three
// integer digits.
struct PREFIX {
    double scale;
    const char* symbol;
};
PREFIX prefix_for(const RANGE& range)
{
    static const PREFIX PREFIXES[] = {{1e-15, "f"}, {1e-12, "p"}, {1e-9, "n"}, {1e-6, "\u00b5"}, {1e-3, "m"},
                                      {1.0, ""},    {1e3, "k"},   {1e6, "M"},   {1e9, "G"}};
    const double magnitude = std::max(std::fabs(range.low), std::fabs(range.high));
    PREFIX chosen = PREFIXES[5];
    for (const PREFIX& prefix : PREFIXES) {
        if (magnitude >= prefix.scale * 0.999)
            chosen = prefix;
    }
    return magnitude == 0.0 ? PREFIXES[5] : chosen;
}

// 1, 2 or 5 times a power of ten, about a sixth of the span.
double tick_step(double span)
{
    const double rough = span / 6.0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= rough)
            return factor * power;
    }
    return 10.0 * power;
}

RANGE padded(RANGE range)
{
    if (!(range.high > range.low)) {
        const double spread = range.low == 0.0 ? 1.0 : std::fabs(range.low) * 0.1;
        return RANGE{range.low - spread, range.high + spread};
    }
    return range;
}

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string number(double value, const char* format = "%.1f")
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The range widened to whole ticks, so that both ends carry a label.
RANGE to_ticks(RANGE range)
{
    const double step = tick_step(range.high - range.low);
    return RANGE{std::floor(range.low / step) * step, std::ceil(range.high / step) * step};
}

class PLOT {
public:
    PLOT(RANGE x, RANGE y) : m_x(padded(x)), m_y(to_ticks(padded(y))) {}
    double px(double x) const { return LEFT + (x - m_x.low) / (m_x.high - m_x.low) * PLOT_WIDTH; }
    double py(double y) const { return TOP + PLOT_HEIGHT - (y - m_y.low) / (m_y.high - m_y.low) * PLOT_HEIGHT; }
    const RANGE& x() const { return m_x; }
    const RANGE& y() const { return m_y; }

private:
    RANGE m_x, m_y;
};

void write_axis_ticks(std::ostream& out, const PLOT& plot, bool horizontal, const PUTIL_PLOT_AXIS& axis)
{
    const RANGE& range = horizontal ? plot.x() : plot.y();
    const PREFIX prefix = prefix_for(range);
    const double step = tick_step(range.high - range.low);
    for (double value = std::ceil(range.low / step) * step; value <= range.high + step * 1e-9; value += step) {
        const double shown = std::fabs(value) < step * 1e-9 ? 0.0 : value / prefix.scale;
        const std::string label = number(shown, "%g");
        if (horizontal) {
            const double x = plot.px(value);
            out << "<line x1=\"" << number(x) << "\" y1=\"" << TOP << "\" x2=\"" << number(x) << "\" y2=\""
                << TOP + PLOT_HEIGHT << "\" class=\"grid\"/>\n<text x=\"" << number(x) << "\" y=\""
                << TOP + PLOT_HEIGHT + 20 << "\" text-anchor=\"middle\">" << label << "</text>\n";
        } else {
            const double y = plot.py(value);
            out << "<line x1=\"" << LEFT << "\" y1=\"" << number(y) << "\" x2=\"" << LEFT + PLOT_WIDTH << "\" y2=\""
                << number(y) << "\" class=\"grid\"/>\n<text x=\"" << LEFT - 8 << "\" y=\"" << number(y + 4)
                << "\" text-anchor=\"end\">" << label << "</text>\n";
        }
    }
    const std::string title = escaped(axis.quantity) + " (" + prefix.symbol + escaped(axis.unit) + ")";
    if (horizontal)
        out << "<text x=\"" << LEFT + PLOT_WIDTH / 2 << "\" y=\"" << HEIGHT - 20 << "\" text-anchor=\"middle\" "
            << "class=\"label\">" << title << "</text>\n";
    else
        out << "<text transform=\"translate(24 " << TOP + PLOT_HEIGHT / 2 << ") rotate(-90)\" text-anchor=\"middle\" "
            << "class=\"label\">" << title << "</text>\n";
}

// The points to draw: all of them when they fit, else per pixel column the
// first, lowest, highest and last.
std::vector<std::size_t> drawn_points(const PLOT& plot, const std::vector<double>& x, const std::vector<double>& y)
{
    std::vector<std::size_t> drawn;
    if (x.size() <= 4 * static_cast<std::size_t>(PLOT_WIDTH)) {
        for (std::size_t i = 0; i < x.size(); ++i)
            drawn.push_back(i);
        return drawn;
    }
    std::size_t first = 0;
    while (first < x.size()) {
        const long column = std::lround(plot.px(x[first]));
        std::size_t end = first, lowest = first, highest = first;
        while (end < x.size() && std::lround(plot.px(x[end])) == column) {
            lowest = y[end] < y[lowest] ? end : lowest;
            highest = y[end] > y[highest] ? end : highest;
            ++end;
        }
        std::size_t kept[] = {first, std::min(lowest, highest), std::max(lowest, highest), end - 1};
        for (std::size_t i : kept) {
            if (drawn.empty() || drawn.back() != i)
                drawn.push_back(i);
        }
        first = end;
    }
    return drawn;
}

}  // namespace

void putil_write_svg_line_plot(std::ostream& out, const std::string& title, const PUTIL_PLOT_AXIS& x_axis,
                               const PUTIL_PLOT_AXIS& y_axis, const std::vector<double>& x,
                               const std::vector<double>& y)
{
    RANGE x_range{0.0, 0.0}, y_range{0.0, 0.0};
    if (!x.empty()) {
        x_range = RANGE{x.front(), x.back()};
        const auto [low, high] = std::minmax_element(y.begin(), y.end());
        y_range = RANGE{std::min(0.0, *low), std::max(0.0, *high)};
    }
    const PLOT plot(x_range, y_range);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << WIDTH << "\" height=\"" << HEIGHT
        << "\" viewBox=\"0 0 " << WIDTH << " " << HEIGHT << "\" font-family=\"sans-serif\" font-size=\"13\">\n"
        << "<style>.grid{stroke:#ddd;stroke-width:1}.label{font-size:15px}.curve{fill:none;stroke:#1f5fbf;"
           "stroke-width:1.2}</style>\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
        << "<text x=\"" << WIDTH / 2 << "\" y=\"28\" text-anchor=\"middle\" font-size=\"17\">" << escaped(title)
        << "</text>\n";
    write_axis_ticks(out, plot, true, x_axis);
    write_axis_ticks(out, plot, false, y_axis);
    out << "<rect x=\"" << LEFT << "\" y=\"" << TOP << "\" width=\"" << PLOT_WIDTH << "\" height=\"" << PLOT_HEIGHT
        << "\" fill=\"none\" stroke=\"#333\"/>\n<polyline class=\"curve\" points=\"";
    for (std::size_t i : drawn_points(plot, x, y))
        out << number(plot.px(x[i])) << "," << number(plot.py(y[i])) << " ";
    out << "\"/>\n</svg>\n";
}
