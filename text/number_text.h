// Numbers as the program reads them from texts (settings, controls, HTTP headers) and writes
// them to the settings file and the journal. One integer reader serves every caller; they
// differ only in the syntax and the range they accept.
#pragma once

#include <climits>
#include <optional>
#include <string>

namespace dova {

struct IntegerSyntax {
  bool leadingBlanks;  // blanks before the sign are skipped
  bool hexadecimal;    // "$" or "0x" before the digits switches to base 16
};
// As the settings file holds them: "-5", "$1F", "0x1f"; nothing before the sign.
constexpr IntegerSyntax kSettingsInteger{false, true};
// As a user types them and servers send them: "  8080", "+7"; decimal digits only.
constexpr IntegerSyntax kDecimalInteger{true, false};

// An optional sign, then digits and nothing else, in [min, max]; nothing for any other text,
// the empty text included.
std::optional<long long> ReadInteger(const std::string& text, IntegerSyntax syntax,
                                     long long min, long long max);

// The settings file's integers (kSettingsInteger, the range of int). False when the text is no
// such integer.
bool ParseInteger(const std::string& text, int& value);

// kDecimalInteger within int / within 64 bits. Throws dova::Error with NotAnIntegerMessage.
int ReadDecimalInteger(const std::string& text);
long long ReadDecimalLong(const std::string& text);

// "'<text>' is not a valid integer value"
std::string NotAnIntegerMessage(const std::string& text);

// A floating-point number written with `separator` as its decimal separator (an optional sign,
// digits, the separator and digits, an optional exponent). False when it does not convert.
bool ParseFloat(const std::string& text, char separator, double& value);

// General number format with at most `digits` significant digits and `separator`:
// 1.333.. with 3 digits gives "1.33"; 46364.5 with 15 gives "46364.5".
std::string FormatGeneral(double value, int digits, char separator);

// `text` without blanks and control characters (bytes up to 0x20) at either end.
std::string Trim(const std::string& text);

}  // namespace dova
