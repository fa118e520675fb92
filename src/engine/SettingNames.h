#pragma once
// Every value the program stores under its key (Registry::kKivroKey): the name it is written
// under, the name the start-up reads it under, the texts it accepts and the text a missing or
// unknown value counts as. Registry::readSetting and Registry::writeSetting take these entries,
// so no window spells a value name of its own.
//
// The store compares value names without regard to case, so the two spellings of UnpkTyp and
// Jbat name one value; a value without a list of texts accepts any text (folders, positions,
// sizes), and its fallback is the empty text.
#include <QLatin1String>
#include <QString>

#include <array>

namespace kivro::Settings {

struct StoredSetting {
    QLatin1String name;                   // written under this spelling
    QLatin1String readName;               // read under this spelling
    QLatin1String fallback;               // what a missing or unknown value counts as
    std::array<QLatin1String, 9> texts{}; // the accepted texts; none: any text

    // True when `text` is one of the accepted texts (exact letter case), or any text is accepted.
    bool accepts(const QString& text) const
    {
        if (texts[0].isEmpty())
            return true;
        for (const QLatin1String t : texts)
            if (!t.isEmpty() && text == t)
                return true;
        return false;
    }
};

// The options menus.
inline constexpr StoredSetting tRate{
    QLatin1String("tRate"),
    QLatin1String("tRate"),
    QLatin1String("normal"),
    {QLatin1String("slow"), QLatin1String("normal"), QLatin1String("fast"), QLatin1String("ufast")}};
// The piece size: the four sizes of the menu and the five custom modes (size, first part, last
// part, percentage, number of pieces), whose number is kept in the mode's companion value.
inline constexpr StoredSetting sSize{QLatin1String("sSize"),
                                     QLatin1String("sSize"),
                                     QLatin1String("high"),
                                     {QLatin1String("small"), QLatin1String("low"), QLatin1String("high"),
                                      QLatin1String("zip"), QLatin1String("customfs"), QLatin1String("customffs"),
                                      QLatin1String("customlfs"), QLatin1String("custompfs"),
                                      QLatin1String("customnof")}};
inline constexpr StoredSetting cSize{QLatin1String("cSize"), QLatin1String("cSize"), QLatin1String()};
inline constexpr StoredSetting cPfs{QLatin1String("cPfs"), QLatin1String("cPfs"), QLatin1String()};
inline constexpr StoredSetting cNof{QLatin1String("cNof"), QLatin1String("cNof"), QLatin1String()};
inline constexpr StoredSetting sDir{QLatin1String("sDir"),
                                    QLatin1String("sDir"),
                                    QLatin1String("sfile"),
                                    {QLatin1String("sfile"), QLatin1String("wfile"), QLatin1String("custom")}};
inline constexpr StoredSetting UnpkTyp{QLatin1String("UnpkTyp"),
                                       QLatin1String("UnPkTyp"),
                                       QLatin1String("RAW"),
                                       {QLatin1String("RAW"), QLatin1String("EMH")}};
inline constexpr StoredSetting Jbat{QLatin1String("Jbat"),
                                    QLatin1String("JBat"),
                                    QLatin1String("JbatNo"),
                                    {QLatin1String("JbatNo"), QLatin1String("Jbat"), QLatin1String("JbatInfo")}};
inline constexpr StoredSetting Delact{QLatin1String("Delact"),
                                      QLatin1String("Delact"),
                                      QLatin1String("No"),
                                      {QLatin1String("No"), QLatin1String("Prompt"), QLatin1String("NoPrompt")}};
inline constexpr StoredSetting Owrite{QLatin1String("Owrite"),
                                      QLatin1String("Owrite"),
                                      QLatin1String("Prompt"),
                                      {QLatin1String("No"), QLatin1String("Prompt"), QLatin1String("NoPrompt")}};
inline constexpr StoredSetting SaveTo{QLatin1String("SaveTo"),
                                      QLatin1String("SaveTo"),
                                      QLatin1String("LastSaved"),
                                      {QLatin1String("LastSaved"), QLatin1String("Custom")}};
inline constexpr StoredSetting StartupOpt{QLatin1String("StartupOpt"),
                                          QLatin1String("StartupOpt"),
                                          QLatin1String("LastUsed"),
                                          {QLatin1String("LastUsed"), QLatin1String("Custom")}};
inline constexpr StoredSetting MZip{
    QLatin1String("MZip"), QLatin1String("MZip"), QLatin1String("Off"), {QLatin1String("On"), QLatin1String("Off")}};
inline constexpr StoredSetting MCC{
    QLatin1String("MCC"), QLatin1String("MCC"), QLatin1String("On"), {QLatin1String("On"), QLatin1String("Off")}};
inline constexpr StoredSetting Magnet{
    QLatin1String("Magnet"), QLatin1String("Magnet"), QLatin1String("On"), {QLatin1String("On"), QLatin1String("Off")}};
// The file-manager verb.
inline constexpr StoredSetting CKivro{QLatin1String("CKivro"),
                                      QLatin1String("CKivro"),
                                      QLatin1String("Off"),
                                      {QLatin1String("On"), QLatin1String("Off")}};
// Tips at start-up: "0" off, "1" on.
inline constexpr StoredSetting ShowTod{
    QLatin1String("ShowTod"), QLatin1String("ShowTod"), QLatin1String("1"), {QLatin1String("1"), QLatin1String("0")}};

// The file types of the browser: "fPass" once the default types have been written, and the
// number of types in the Filter and FilterInfo sub-keys.
inline constexpr StoredSetting fCheck{
    QLatin1String("fCheck"), QLatin1String("fCheck"), QLatin1String(), {QLatin1String("fPass")}};
inline constexpr StoredSetting NoOfFilter{QLatin1String("NoOfFilter"), QLatin1String("NoOfFilter"), QLatin1String()};

// Folders.
inline constexpr StoredSetting SaveCustomDir{QLatin1String("SaveCustomDir"), QLatin1String("SaveCustomDir"),
                                             QLatin1String()};
inline constexpr StoredSetting StartupCustomDir{QLatin1String("StartupCustomDir"), QLatin1String("StartupCustomDir"),
                                                QLatin1String()};
inline constexpr StoredSetting UnpackCustomDir{QLatin1String("UnpackCustomDir"), QLatin1String("UnpackCustomDir"),
                                               QLatin1String()};
inline constexpr StoredSetting LastSavedDir{QLatin1String("LastSavedDir"), QLatin1String("LastSavedDir"),
                                            QLatin1String()};
inline constexpr StoredSetting LastUsedDir{QLatin1String("LastUsedDir"), QLatin1String("LastUsedDir"), QLatin1String()};

// The pack-list window's place, in twips.
inline constexpr StoredSetting BrovletXpos{QLatin1String("BrovletXpos"), QLatin1String("BrovletXpos"), QLatin1String()};
inline constexpr StoredSetting BrovletYpos{QLatin1String("BrovletYpos"), QLatin1String("BrovletYpos"), QLatin1String()};

// The whole table.
inline constexpr const StoredSetting* kAll[] = {&tRate,
                                                &sSize,
                                                &cSize,
                                                &cPfs,
                                                &cNof,
                                                &sDir,
                                                &UnpkTyp,
                                                &Jbat,
                                                &Delact,
                                                &Owrite,
                                                &SaveTo,
                                                &StartupOpt,
                                                &MZip,
                                                &MCC,
                                                &Magnet,
                                                &CKivro,
                                                &ShowTod,
                                                &fCheck,
                                                &NoOfFilter,
                                                &SaveCustomDir,
                                                &StartupCustomDir,
                                                &UnpackCustomDir,
                                                &LastSavedDir,
                                                &LastUsedDir,
                                                &BrovletXpos,
                                                &BrovletYpos};

} // namespace kivro::Settings
