#include "editors/day_time.h"

#include <algorithm>
#include <cmath>

namespace qv {

QDate DayZero() { return QDate(1899, 12, 30); }

double WholeDays(TDateTime V) { return std::trunc(V); }

double DayFraction(TDateTime V) { return std::fabs(V - std::trunc(V)); }

QDate DayOf(TDateTime V) {
    if (!(V >= MinDateTime && V <= MaxDateTime)) return QDate();
    return DayZero().addDays(static_cast<qint64>(WholeDays(V)));
}

QTime TimeOf(TDateTime V) {
    if (!std::isfinite(V)) return QTime(0, 0);
    const double ms = std::round(DayFraction(V) * MSecsPerDay);
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(std::min(ms, MSecsPerDay - 1)));
}

double DaysOf(const QDate& D) { return static_cast<double>(DayZero().daysTo(D)); }

double FractionOf(const QTime& T) { return T.msecsSinceStartOfDay() / MSecsPerDay; }

}  // namespace qv
