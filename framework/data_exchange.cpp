#include "framework/data_exchange.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <limits>

#include "framework/message_service.h"

namespace qv {
namespace {

constexpr int kNumberDigits = 15;    // significant digits of a number shown in a field
constexpr int kNumberTextSize = 32;  // room for "-d.dddddddddddddde-308" and its terminator

// Blanks around an optional sign and the number itself; the number starts right after them.
const QRegularExpression kIntegerPattern(QStringLiteral(R"(^[ \t]*([+-]?)([0-9]+)[ \t]*$)"));
const QRegularExpression kNumberPattern(
    QStringLiteral(R"(^[ \t]*([+-]?)([0-9]*\.?[0-9]*)([eE][+-]?[0-9]+)?[ \t]*$)"));

bool StartsWithZeroDigit(const QString& text) { return text.trimmed().startsWith('0'); }

}  // namespace

std::optional<std::int32_t> ParseIntegerField(const QString& text) {
  const QRegularExpressionMatch match = kIntegerPattern.match(text);
  if (!match.hasMatch()) {
    return std::nullopt;
  }
  bool ok = false;
  const qlonglong value = (match.captured(1) + match.captured(2)).toLongLong(&ok);
  if (!ok || value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  if (value == 0 && !StartsWithZeroDigit(text)) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

std::optional<double> ParseNumberField(const QString& text) {
  const QRegularExpressionMatch match = kNumberPattern.match(text);
  const QString mantissa = match.captured(2);
  if (!match.hasMatch() || mantissa.isEmpty() || mantissa == QStringLiteral(".")) {
    return std::nullopt;
  }
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(value)) {
    return std::nullopt;
  }
  if (value == 0.0 && !StartsWithZeroDigit(text)) {
    return std::nullopt;
  }
  return value;
}

namespace {

template <typename Value, typename Parse>
bool Exchange(QLineEdit* field, Value& value, Parse parse, const QString& message) {
  const std::optional<Value> read = parse(field->text());
  if (!read) {
    AfxMessageBox(message);
    field->setFocus(Qt::OtherFocusReason);
    return false;
  }
  value = *read;
  return true;
}

}  // namespace

bool ExchangeInteger(QLineEdit* field, std::int32_t& value) {
  return Exchange(field, value, ParseIntegerField, kEnterIntegerMessage);
}

bool ExchangeNumber(QLineEdit* field, double& value) {
  return Exchange(field, value, ParseNumberField, kEnterNumberMessage);
}

void ShowInteger(QLineEdit* field, std::int32_t value) { field->setText(QString::number(value)); }

void ShowNumber(QLineEdit* field, double value) {
  char text[kNumberTextSize];
  std::snprintf(text, sizeof text, "%.*g", kNumberDigits, value);
  field->setText(QString::fromLatin1(text));
}

}  // namespace qv
