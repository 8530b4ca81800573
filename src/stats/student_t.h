#pragma once

#include <cstdint>

namespace quorvex::stats {

// The 0.975 quantile of Student's t distribution with `degreesOfFreedom`
// degrees of freedom: the half-width, in standard errors, of a two-sided 95%
// interval for a mean. Within 1e-9 relative of the true quantile for every
// df >= 1 (12.7062047361747 at df 1, 1.95996398454005 in the limit); NaN for
// df < 1.
double studentT975(std::int64_t degreesOfFreedom);

} // namespace quorvex::stats
