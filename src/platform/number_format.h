#pragma once

// The numbers of controller/number_text.h with the decimal separator of the user's locale.

#include "controller/number_text.h"

#include <QLocale>
#include <QString>

namespace kentrikh {

// The locale's decimal separator as UTF-8.
std::string decimalPointOf(const QLocale &locale = QLocale::system());

QString formatNumber(
    double value, NumberPattern pattern, const QLocale &locale = QLocale::system());

QString formatPlain(double value, const QLocale &locale = QLocale::system());

} // namespace kentrikh
