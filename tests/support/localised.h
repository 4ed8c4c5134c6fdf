#pragma once

#include <QLocale>
#include <QString>

namespace kentrikh {

// A number written with "." as it is shown: with the user's decimal separator.
inline QString localised(const char *number)
{
    return QString::fromLatin1(number).replace(QLatin1Char('.'), QLocale::system().decimalPoint());
}

} // namespace kentrikh
