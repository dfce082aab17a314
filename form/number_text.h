// Numbers as the settings file and the journal write them.
#pragma once

#include <string>

namespace dova {

// A decimal integer with an optional sign, or "$"/"0x" followed by hexadecimal digits, as the
// settings reader accepts it. False for anything else, including overflow.
bool ParseInteger(const std::string& text, int& value);

// "'<text>' is not a valid integer value"
std::string NotAnIntegerMessage(const std::string& text);

// The integer value of `text`, or throws dova::Error with NotAnIntegerMessage.
int ToInteger(const std::string& text);

// A floating-point number written with `separator` as its decimal separator (an optional sign,
// digits, the separator and digits, an optional exponent). False when it does not convert.
bool ParseFloat(const std::string& text, char separator, double& value);

// General number format with at most `digits` significant digits and `separator`:
// 1.333.. with 3 digits gives "1.33"; 46364.5 with 15 gives "46364.5".
std::string FormatGeneral(double value, int digits, char separator);

}  // namespace dova
