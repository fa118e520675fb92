#pragma once
// Number formats of the classic format patterns.
#include <QString>
#include <cstdint>

namespace kivro {

// The pattern "#,###": the whole number with the thousands separator of the user's locale
// (QLocale()), no decimals; 0 gives the empty text.
QString FormatGrouped(std::int64_t value);

} // namespace kivro
