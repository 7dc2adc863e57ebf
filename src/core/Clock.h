#pragma once

#include <QDateTime>

// "Now" for the whole program, as a wall-clock time (see DateSpan.h). Tests fix it so that
// nothing depends on the day they run.
namespace Clock {

QDateTime now();
QDate today();

// Makes now() return the given moment until reset() (a null value resets).
void setFixed(const QDateTime &moment);
void reset();

} // namespace Clock
