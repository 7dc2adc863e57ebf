#pragma once

#include <QString>

// A number written with a leading blank when it is zero or positive and a minus sign when it
// is negative: 42 is " 42", -7 is "-7", 2.5 is " 2.5". Used in "ID = " search texts and in
// messages that quote an ID or an amount.
// Shortest decimal form with a point, never an exponent: 0.5 is " 0.5", 1e-7 is " 0.0000001".
QString signPadded(double value);
// The same for a whole number, every digit of it (an ID beyond 2^53 is not rounded).
QString signPadded(qint64 value);
