#pragma once

// A self-contained SVG document built element by element: coordinates in a
// fixed viewBox, styles as classes in one <style> block, generic fonts, all
// text escaped. The plots (the score histogram, a curve over the ratio) draw
// on it; it knows nothing of what they show.

#include <string>
#include <string_view>
#include <vector>

namespace quorvex::output {

// Text with the five XML specials written as entities; control characters
// other than tab, line feed and carriage return (which XML 1.0 forbids) as
// U+FFFD. Bytes that are not valid UTF-8 become U+FFFD too.
std::string escapeXml(std::string_view text);

// A coordinate or length: at most two decimals, trailing zeros dropped.
std::string svgNumber(double x);

struct SvgPoint {
    double x, y;
};

enum class TextAnchor { start, middle, end };

class SvgCanvas {
  public:
    // `title` is the document's <title>, what a viewer shows as its name.
    SvgCanvas(double width, double height, std::string_view title);

    double width() const { return width_; }
    double height() const { return height_; }

    // CSS rules for the <style> block, e.g. ".bar { fill: #4a78b5; }"; never "]]>".
    void addStyle(std::string_view rules);

    void rect(double x, double y, double width, double height, std::string_view cssClass);
    void line(double x1, double y1, double x2, double y2, std::string_view cssClass);
    // A path through the points, closed into a polygon or left open.
    void path(const std::vector<SvgPoint>& points, bool closed, std::string_view cssClass);
    // One line of text with its baseline at y; rotated by `degrees` about (x, y).
    void text(double x, double y, std::string_view content, std::string_view cssClass,
              TextAnchor anchor = TextAnchor::start, double degrees = 0);

    // The whole document, ending in "\n".
    std::string finish() const;

  private:
    double width_, height_;
    std::string title_, styles_, body_;
};

} // namespace quorvex::output
