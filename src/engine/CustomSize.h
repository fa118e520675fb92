#pragma once
// The custom piece sizes as they are stored ("sSize" with its companion value "cSize", "cPfs" or
// "cNof") and as menus and windows describe them ("1,440K (Custom...)"). The main window's load
// and the preferences window read the stored texts by the same rule.
#include "engine/SettingNames.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace kivro {

// The five custom ways of cutting a file that the custom size dialog offers.
enum class CustomSizeMode { Size, First, Last, Percent, Files };

namespace CustomSizes {

// A stored text that converts to a finite number in the user's locale (blanks around it
// allowed); nothing otherwise.
std::optional<double> NumericSetting(const QString& text);

// What a custom "sSize" text and its stored companion text give.
struct CustomSize {
    using Mode = CustomSizeMode;
    Mode mode = Mode::Size;
    // The companion value's name: "cSize", "cPfs" or "cNof".
    QString companionName;
    std::int64_t unpackSize = 0;   // the size modes
    std::int32_t splitPercent = 0; // the percentage mode
    std::int32_t splitFiles = 0;   // the number-of-pieces mode
    // The description: the caption of CustomSizeChk and the custom entry of the preferences
    // window's size list.
    QString caption;
    // When the companion value was not valid: the default the main window writes back (with the
    // sSize text itself).
    std::optional<QString> repairedCompanion;
};

// True for the five custom texts ("customfs", "customffs", "customlfs", "custompfs",
// "customnof").
bool IsCustomSizeText(const QString& sSize);

// The stored "sSize" text of a mode.
QString SSizeText(CustomSizeMode mode);

// The companion value of a custom sSize text: "cPfs", "cNof", else "cSize".
const Settings::StoredSetting& CompanionValueName(const QString& sSize);

// What a custom sSize text with the stored companion text gives. Valid means numeric and within
// the range (bounds included): 1 to 1,048,576,000 bytes, 1 to 99 percent, 2 to 99,999 pieces.
// Percent and file numbers keep their stored text in the caption.
CustomSize CustomSizeFor(const QString& sSize, const QString& companionText);

// The description of a mode's number (K for the three size modes): "1,440K (Custom...)",
// "First 50K (Custom...)", "Last ...", "5% (Custom...)", "3 Files (Custom...)".
QString Caption(CustomSizeMode mode, std::int64_t number);

} // namespace CustomSizes
} // namespace kivro
