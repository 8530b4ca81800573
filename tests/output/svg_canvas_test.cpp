// The SVG document builder: escaped text, short numbers, one style block.

#include "output/svg_canvas.h"

#include <string>

#include <gtest/gtest.h>

namespace quorvex::output {
namespace {

TEST(SvgCanvas, EscapesTheSpecialsAndWhatXmlForbids) {
    EXPECT_EQ(escapeXml("a<b & c>\"d\"'e'"), "a&lt;b &amp; c&gt;&quot;d&quot;&apos;e&apos;");
    EXPECT_EQ(escapeXml("\u00D7 \u2026 \u00B7"), "\u00D7 \u2026 \u00B7"); // valid UTF-8 stays
    EXPECT_EQ(escapeXml("a\x01z"), "a\uFFFDz");                           // a control character
    EXPECT_EQ(escapeXml("tab\there"), "tab\there");
    EXPECT_EQ(escapeXml("\xff"), "\uFFFD");                       // not UTF-8 at all
    EXPECT_EQ(escapeXml("\xC3"), "\uFFFD");                       // a sequence cut short
    EXPECT_EQ(escapeXml("\xC0\xAF"), "\uFFFD\uFFFD");             // an overlong '/'
    EXPECT_EQ(escapeXml("\xED\xA0\x80"), "\uFFFD\uFFFD\uFFFD");   // a surrogate
    EXPECT_EQ(escapeXml("\xF0\x9F\x8E\xB5"), "\xF0\x9F\x8E\xB5"); // four bytes, valid
}

TEST(SvgCanvas, NumbersHaveAtMostTwoDecimals) {
    EXPECT_EQ(svgNumber(12.345), "12.35"); // stored as 12.3450000000000006...
    EXPECT_EQ(svgNumber(460), "460");
    EXPECT_EQ(svgNumber(0.5), "0.5");
    EXPECT_EQ(svgNumber(-0.001), "0");
}

TEST(SvgCanvas, ADocumentOfElements) {
    SvgCanvas canvas(900, 560, "A & B");
    canvas.addStyle(".bar { fill: #4a78b5; }");
    canvas.rect(1, 2.5, 3, 4, "bar");
    canvas.line(0, 0, 10, 10, "axis");
    canvas.circle(4, 5.5, 3, "dot");
    canvas.path({{0, 0}, {1, 2}, {3, 1}}, true, "band");
    canvas.path({}, false, "nothing"); // no points, no element
    canvas.text(5, 6, "x < y", "label", TextAnchor::middle);
    canvas.text(7, 8, "up", "title", TextAnchor::start, -90);
    EXPECT_EQ(canvas.finish(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 900 560\" width=\"900\" "
              "height=\"560\">\n"
              "<title>A &amp; B</title>\n"
              "<style><![CDATA[\n.bar { fill: #4a78b5; }\n]]></style>\n"
              "<rect class=\"bar\" x=\"1\" y=\"2.5\" width=\"3\" height=\"4\"/>\n"
              "<line class=\"axis\" x1=\"0\" y1=\"0\" x2=\"10\" y2=\"10\"/>\n"
              "<circle class=\"dot\" cx=\"4\" cy=\"5.5\" r=\"3\"/>\n"
              "<path class=\"band\" d=\"M0,0 L1,2 L3,1 Z\"/>\n"
              "<text class=\"label\" x=\"5\" y=\"6\" text-anchor=\"middle\">x &lt; y</text>\n"
              "<text class=\"title\" x=\"7\" y=\"8\" transform=\"rotate(-90 7 8)\">up</text>\n"
              "</svg>\n");
}

} // namespace
} // namespace quorvex::output
