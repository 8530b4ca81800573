#include "output/proportion_text.h"

#include "numbers/number_text.h"

namespace quorvex::output {

int percentDecimals(const stats::Proportion& proportion) {
    const double halfWidth = (proportion.wilson95.high - proportion.wilson95.low) / 2 * 100;
    return decimalsForSpread(halfWidth);
}

std::string percentText(double share, int decimals) {
    if (share == 0)
        return "0%";
    if (share == 1)
        return "100%";
    return fixedText(share * 100, decimals) + "%";
}

std::string exactPercentText(double chance, int decimals) {
    if (chance == 0 || chance == 1)
        return percentText(chance, decimals);
    const double percent = chance * 100;
    std::string text = fixedText(percent, decimals);
    if (text.find_first_of("123456789") != std::string::npos)
        return text + "%";
    return scientificText(percent, 2) + "%";
}

} // namespace quorvex::output
