#pragma once
// Numbers as the messages and captions show them.
#include <QString>
#include <cstdint>

namespace kivro {

// The pattern "#,###": the whole number in groups of three digits, separated by the grouping
// separator of the current locale (QLocale(), the system's unless a default was set; the C
// locale groups with ","), no decimals, no leading zeros; 0 gives the empty text.
QString FormatThousands(std::int64_t value);

} // namespace kivro
