// Data exchange between edit fields and numbers, with the classic conversion rules and
// messages: a field that does not hold a number is reported, gets the focus, and its value
// keeps what it held.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class QLineEdit;

namespace qv {

inline const QString kEnterIntegerMessage = QStringLiteral("Please enter an integer.");
inline const QString kEnterNumberMessage = QStringLiteral("Please enter a number.");

// Takes a field's text; returns its value when it is an optional sign and decimal digits with
// blanks around them that fits 32 bits. A value of zero must be written starting with the
// digit 0 ("-0" and "+0" are refused).
std::optional<std::int32_t> ParseIntegerField(const QString& text);

// Takes a field's text; returns its value when it is a finite decimal number with an optional
// sign, fraction and exponent, blanks around it. A value of zero must be written starting with
// the digit 0.
std::optional<double> ParseNumberField(const QString& text);

// Reads `field` into `value`. On a refusal shows the message in a stop box, moves the focus to
// the field and returns false, leaving `value` as it was.
bool ExchangeInteger(QLineEdit* field, std::int32_t& value);
bool ExchangeNumber(QLineEdit* field, double& value);

// Writes a value into a field: decimal, or the shortest of 15 significant digits.
void ShowInteger(QLineEdit* field, std::int32_t value);
void ShowNumber(QLineEdit* field, double value);

}  // namespace qv
