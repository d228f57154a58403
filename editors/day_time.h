// Splitting a TDateTime into the day and the time of day the date and time
// editors show, and putting it back together.
#pragma once

#include <QDate>
#include <QTime>

#include "platform/date_time.h"

namespace qv {

// Day 0 of TDateTime: 30 December 1899.
QDate DayZero();

// The whole-day part as a QDate; an invalid QDate for values outside the
// valid range (and NaN).
QDate DayOf(TDateTime V);
// The time of day (the fraction counts forward from midnight also for days
// before day 0), to the nearest millisecond below midnight.
QTime TimeOf(TDateTime V);
// The whole-day part and the fraction of the day.
double WholeDays(TDateTime V);
double DayFraction(TDateTime V);

double DaysOf(const QDate& D);
double FractionOf(const QTime& T);

}  // namespace qv
