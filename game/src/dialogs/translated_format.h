#pragma once

#include <string>

// Translated texts that windows use as printf formats come from string tables
// a translator (or a damaged file) may get wrong. A format is used only when
// its conversions are exactly the ones the caller passes arguments for;
// otherwise the text is shown as it stands.
//
// Kinds: 'd' an int (%d %i %u %x %X %o %c), 'f' a double (%f %e %g and upper
// case), 's' a C string. Flags, width and precision are allowed; '*', length
// modifiers and %n are not. "%%" is no conversion.

// The kinds of the format's conversions in order; false when one is not allowed.
bool formatConversionKinds(const std::string& format, std::string* kinds);

// `format` filled with the arguments when its kinds equal `expectedKinds`
// (e.g. "d", "ds"); otherwise `format` unchanged.
std::string formatTranslated(const std::string& format, const char* expectedKinds, ...);
std::u16string formatTranslated(const std::u16string& format, const char* expectedKinds, ...);
