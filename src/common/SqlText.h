#pragma once

#include <QString>

// An SQL text literal: the text in apostrophes, every apostrophe inside it doubled.
// O'Brien becomes 'O''Brien'. Statements bind their values; this is for the places that
// must show or log a criterion as text.
QString sqlTextLiteral(QStringView text);
