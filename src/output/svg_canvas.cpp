#include "output/svg_canvas.h"

#include "numbers/number_text.h"

namespace quorvex::output {

namespace {

constexpr std::string_view replacement = "\uFFFD";

// The length of the valid UTF-8 sequence at the start of `text`, or 0.
std::size_t validSequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF; // the range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

std::string_view anchorName(TextAnchor anchor) {
    switch (anchor) {
    case TextAnchor::start:
        return "start";
    case TextAnchor::middle:
        return "middle";
    case TextAnchor::end:
        return "end";
    }
    return "start";
}

} // namespace

std::string escapeXml(std::string_view text) {
    std::string escaped;
    while (!text.empty()) {
        const char c = text.front();
        const std::size_t length = validSequenceLength(text);
        if (length == 0) {
            escaped.append(replacement);
            text.remove_prefix(1);
            continue;
        }
        switch (c) {
        case '&':
            escaped.append("&amp;");
            break;
        case '<':
            escaped.append("&lt;");
            break;
        case '>':
            escaped.append("&gt;");
            break;
        case '"':
            escaped.append("&quot;");
            break;
        case '\'':
            escaped.append("&apos;");
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
                escaped.append(replacement);
            else
                escaped.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    return escaped;
}

std::string svgNumber(double x) {
    return trimmedText(x, 2);
}

SvgCanvas::SvgCanvas(double width, double height, std::string_view title)
    : width_(width), height_(height), title_(title) {}

void SvgCanvas::addStyle(std::string_view rules) {
    styles_.append(rules).append("\n");
}

void SvgCanvas::rect(double x, double y, double width, double height, std::string_view cssClass) {
    body_.append("<rect class=\"")
        .append(escapeXml(cssClass))
        .append("\" x=\"")
        .append(svgNumber(x))
        .append("\" y=\"")
        .append(svgNumber(y))
        .append("\" width=\"")
        .append(svgNumber(width))
        .append("\" height=\"")
        .append(svgNumber(height))
        .append("\"/>\n");
}

void SvgCanvas::line(double x1, double y1, double x2, double y2, std::string_view cssClass) {
    body_.append("<line class=\"")
        .append(escapeXml(cssClass))
        .append("\" x1=\"")
        .append(svgNumber(x1))
        .append("\" y1=\"")
        .append(svgNumber(y1))
        .append("\" x2=\"")
        .append(svgNumber(x2))
        .append("\" y2=\"")
        .append(svgNumber(y2))
        .append("\"/>\n");
}

void SvgCanvas::circle(double cx, double cy, double r, std::string_view cssClass) {
    body_.append("<circle class=\"")
        .append(escapeXml(cssClass))
        .append("\" cx=\"")
        .append(svgNumber(cx))
        .append("\" cy=\"")
        .append(svgNumber(cy))
        .append("\" r=\"")
        .append(svgNumber(r))
        .append("\"/>\n");
}

void SvgCanvas::path(const std::vector<SvgPoint>& points, bool closed, std::string_view cssClass) {
    if (points.empty())
        return;
    body_.append("<path class=\"").append(escapeXml(cssClass)).append("\" d=\"");
    for (std::size_t i = 0; i < points.size(); ++i) {
        body_.append(i == 0 ? "M" : " L")
            .append(svgNumber(points[i].x))
            .append(",")
            .append(svgNumber(points[i].y));
    }
    body_.append(closed ? " Z\"/>\n" : "\"/>\n");
}

void SvgCanvas::text(double x, double y, std::string_view content, std::string_view cssClass,
                     TextAnchor anchor, double degrees) {
    body_.append("<text class=\"")
        .append(escapeXml(cssClass))
        .append("\" x=\"")
        .append(svgNumber(x))
        .append("\" y=\"")
        .append(svgNumber(y))
        .append("\"");
    if (anchor != TextAnchor::start)
        body_.append(" text-anchor=\"").append(anchorName(anchor)).append("\"");
    if (degrees != 0) {
        body_.append(" transform=\"rotate(")
            .append(svgNumber(degrees))
            .append(" ")
            .append(svgNumber(x))
            .append(" ")
            .append(svgNumber(y))
            .append(")\"");
    }
    body_.append(">").append(escapeXml(content)).append("</text>\n");
}

std::string SvgCanvas::finish() const {
    std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    document.append(R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 )")
        .append(svgNumber(width_))
        .append(" ")
        .append(svgNumber(height_))
        .append("\" width=\"")
        .append(svgNumber(width_))
        .append("\" height=\"")
        .append(svgNumber(height_))
        .append("\">\n<title>")
        .append(escapeXml(title_))
        .append("</title>\n<style><![CDATA[\n")
        .append(styles_)
        .append("]]></style>\n")
        .append(body_)
        .append("</svg>\n");
    return document;
}

} // namespace quorvex::output
