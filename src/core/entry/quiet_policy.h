#pragma once

#include <boost/math/policies/policy.hpp>

namespace quarbel {

// Boost.Math's error policy for every computation: extreme but finite inputs (a count of 1e300)
// give NaN, shown as an empty field, rather than an exception out of a keystroke.
using Quiet = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::pole_error<boost::math::policies::ignore_error>,
    boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>>;

} // namespace quarbel
