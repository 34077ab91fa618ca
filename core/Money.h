#pragma once

#include <QtGlobal>
#include <cmath>

// Money inside the program is counted in whole stotinki; the suite's tables
// keep floats of leva, so values are converted at the table's edge only.
namespace money {

using Cents = qint64;

// Leva (as stored) to stotinki, rounded half away from zero.
inline Cents fromLeva(double leva) {
    if (!std::isfinite(leva))
        return 0;
    return static_cast<Cents>(std::llround(leva * 100.0));
}

inline double toLeva(Cents cents) { return static_cast<double>(cents) / 100.0; }

// Largest amount the program accepts anywhere: 999 999 999.99 leva.
constexpr Cents kMaxCents = 99999999999LL;

} // namespace money
