#pragma once

#include <string>
#include <string_view>

// How the calculation sheets write numbers. Every number a sheet shows goes
// through these functions, so none is ever cut, none reads "nan" or "inf", and
// the process locale never matters ("." is always the decimal point). Values
// whose size is 10^12 or more, and quantities below 10^-4, are written in
// exponent form, "1.234568E+15", like the program's result texts.
namespace calc::sheet {

// Shown in place of a value that is not a finite number.
inline constexpr std::string_view kOutOfRangeText = "超出数值范围";

// A length in metres to three decimals: "51.962", "-11.555", "60.000", "0.000";
// from 10^12 on, seven significant digits: "1.234568E+15".
std::string lengthText(double x);

// An area or a yearly count: at least minDigits significant digits and at
// least minDecimals decimals: 0.0270171 gives "0.02702", 0.243424 "0.2434", 30.96126
// "30.961"; below 10^-4 and from 10^12 on, minDigits significant digits in
// exponent form: "2.702E-08". Zero is "0".
std::string quantityText(double x, int minDigits = 4, int minDecimals = 3);

// A computed value carried into a later formula, with enough digits that the
// formula, worked by hand from the text, gives the value shown after it: at
// least six decimals and seven significant digits ("43.166248", "0.02701712").
std::string carriedText(double x);

// The shortest text that reads back as x: an input or a table constant as put
// into a formula: "30", "2.5", "0.0001", "1E+300", "1.5E-05".
std::string inputText(double x);

// inputText, in parentheses when negative, for use as an operand: "(-40)".
std::string operandText(double x);

} // namespace calc::sheet
