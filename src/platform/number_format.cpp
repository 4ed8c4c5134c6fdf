#include "platform/number_format.h"

namespace kentrikh {

std::string decimalPointOf(const QLocale &locale)
{
    return locale.decimalPoint().toStdString();
}

QString formatNumber(double value, NumberPattern pattern, const QLocale &locale)
{
    return QString::fromStdString(numberText(value, pattern, decimalPointOf(locale)));
}

QString formatPlain(double value, const QLocale &locale)
{
    return QString::fromStdString(plainNumberText(value, decimalPointOf(locale)));
}

} // namespace kentrikh
