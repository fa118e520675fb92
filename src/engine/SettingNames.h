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
#include <cstdint>
#include <span>

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

// The option groups of the menus. One row per item: the text stored for it, the object name of
// its menu item (whose handler is that name with "_Click"), its item in the preferences window
// and the value it sets; a row with no text (the custom size) stores its choice elsewhere. Adding
// or renaming an item is one row here, so the menu, the start-up and the preferences window cannot
// disagree.
struct OptionRow {
    QLatin1String text;
    QLatin1String menuItem;
    QLatin1String prefsItem;
    std::int64_t value = 0;  // the copy block size, or the piece size in bytes
    std::int32_t digits = 0; // the copy block's tail digits
};

// What choosing a row sets besides its marks and its stored text.
enum class OptionValue { None, BlockSize, PieceSize };

inline constexpr OptionRow kRateRows[] = {
    {QLatin1String("slow"), QLatin1String("SlowSpeedChk"), QLatin1String("Slow"), 10000, 4},
    {QLatin1String("normal"), QLatin1String("NormalSpeedChk"), QLatin1String("Normal"), 100000, 5},
    {QLatin1String("fast"), QLatin1String("FastSpeedChk"), QLatin1String("Fast"), 1000000, 6},
    // 5,000,000 has seven digits: the tail of a size is its last seven.
    {QLatin1String("ufast"), QLatin1String("UltraSpeedChk"), QLatin1String("Ultra Fast"), 5000000, 7}};
inline constexpr OptionRow kSizeRows[] = {
    {QLatin1String("small"), QLatin1String("SmallFloppySizeChk"), QLatin1String("360K"), 360000},
    {QLatin1String("low"), QLatin1String("LowFloppySizeChk"), QLatin1String("1,200K"), 1200000},
    {QLatin1String("high"), QLatin1String("HighFloppySizeChk"), QLatin1String("1,440K"), 1440000},
    {QLatin1String("zip"), QLatin1String("ZipSizeChk"), QLatin1String("Zip 100"), 100000000},
    {QLatin1String(), QLatin1String("CustomSizeChk"), QLatin1String("1,440K (Custom...)")}};
inline constexpr OptionRow kUnpackToRows[] = {
    {QLatin1String("sfile"), QLatin1String("UnpackSaveFileMnu"), QLatin1String("Save File")},
    {QLatin1String("wfile"), QLatin1String("UnpackWhereFileDirMnu"), QLatin1String("Where File Is")},
    {QLatin1String("custom"), QLatin1String("UnpackCustomDirMnu"), QLatin1String("Custom Directory...")}};
inline constexpr OptionRow kUnpackTypeRows[] = {
    {QLatin1String("RAW"), QLatin1String("UnpackRAWMnu"), QLatin1String("RAW (Read And Write)")},
    {QLatin1String("EMH"), QLatin1String("UnpackEMHMnu"), QLatin1String("EMH (Embedded Mpeg Header)")}};
inline constexpr OptionRow kJoinBatchRows[] = {
    {QLatin1String("JbatNo"), QLatin1String("CreateJoinBatNoMnu"), QLatin1String("No")},
    {QLatin1String("Jbat"), QLatin1String("CreateJoinBatMnu"), QLatin1String("Yes")},
    {QLatin1String("JbatInfo"), QLatin1String("CreateJoinBatwExtraInfoMnu"), QLatin1String("Yes w/ Extra Info")}};
inline constexpr OptionRow kDeleteRows[] = {
    {QLatin1String("No"), QLatin1String("DelNoMnu"), QLatin1String("No")},
    {QLatin1String("Prompt"), QLatin1String("DelPromptMnu"), QLatin1String("Yes (Prompt)")},
    {QLatin1String("NoPrompt"), QLatin1String("DelNoPromptMnu"), QLatin1String("Yes (No Prompt)")}};
inline constexpr OptionRow kOverwriteRows[] = {
    {QLatin1String("No"), QLatin1String("OverwriteNoMnu"), QLatin1String("No")},
    {QLatin1String("Prompt"), QLatin1String("OverwritePromptMnu"), QLatin1String("Yes (Prompt)")},
    {QLatin1String("NoPrompt"), QLatin1String("OverwriteNoPromptMnu"), QLatin1String("Yes (No Prompt)")}};
inline constexpr OptionRow kSaveToRows[] = {
    {QLatin1String("Custom"), QLatin1String("SaveCustomDirMnu"), QLatin1String("Custom Directory...")},
    {QLatin1String("LastSaved"), QLatin1String("LastSavedDirMnu"), QLatin1String("Last Saved Directory")}};
// The preferences window has always named the last used folder "Last Saved Directory".
inline constexpr OptionRow kStartupRows[] = {
    {QLatin1String("Custom"), QLatin1String("StartupCustomDirMnu"), QLatin1String("Custom Directory...")},
    {QLatin1String("LastUsed"), QLatin1String("StartupLastUsedDirMnu"), QLatin1String("Last Saved Directory")}};

// The accepted texts of a group: its rows' texts, then `more`.
template <std::size_t N>
constexpr std::array<QLatin1String, 9> textsOf(const OptionRow (&rows)[N], std::array<QLatin1String, 5> more = {})
{
    std::array<QLatin1String, 9> texts{};
    std::size_t n = 0;
    for (const OptionRow& r : rows)
        if (r.text.size() > 0)
            texts[n++] = r.text;
    for (const QLatin1String t : more)
        if (t.size() > 0)
            texts[n++] = t;
    return texts;
}

inline constexpr StoredSetting tRate{QLatin1String("tRate"), QLatin1String("tRate"), kRateRows[1].text,
                                     textsOf(kRateRows)};
// The piece size: the four sizes of the menu and the five custom modes (size, first part, last
// part, percentage, number of pieces), whose number is kept in the mode's companion value.
inline constexpr StoredSetting sSize{
    QLatin1String("sSize"), QLatin1String("sSize"), kSizeRows[2].text,
    textsOf(kSizeRows, {QLatin1String("customfs"), QLatin1String("customffs"), QLatin1String("customlfs"),
                        QLatin1String("custompfs"), QLatin1String("customnof")})};
inline constexpr StoredSetting cSize{QLatin1String("cSize"), QLatin1String("cSize"), QLatin1String()};
inline constexpr StoredSetting cPfs{QLatin1String("cPfs"), QLatin1String("cPfs"), QLatin1String()};
inline constexpr StoredSetting cNof{QLatin1String("cNof"), QLatin1String("cNof"), QLatin1String()};
inline constexpr StoredSetting sDir{QLatin1String("sDir"), QLatin1String("sDir"), kUnpackToRows[0].text,
                                    textsOf(kUnpackToRows)};
inline constexpr StoredSetting UnpkTyp{QLatin1String("UnpkTyp"), QLatin1String("UnPkTyp"), kUnpackTypeRows[0].text,
                                       textsOf(kUnpackTypeRows)};
inline constexpr StoredSetting Jbat{QLatin1String("Jbat"), QLatin1String("JBat"), kJoinBatchRows[0].text,
                                    textsOf(kJoinBatchRows)};
inline constexpr StoredSetting Delact{QLatin1String("Delact"), QLatin1String("Delact"), kDeleteRows[0].text,
                                      textsOf(kDeleteRows)};
inline constexpr StoredSetting Owrite{QLatin1String("Owrite"), QLatin1String("Owrite"), kOverwriteRows[1].text,
                                      textsOf(kOverwriteRows)};
inline constexpr StoredSetting SaveTo{QLatin1String("SaveTo"), QLatin1String("SaveTo"), kSaveToRows[1].text,
                                      textsOf(kSaveToRows)};
inline constexpr StoredSetting StartupOpt{QLatin1String("StartupOpt"), QLatin1String("StartupOpt"),
                                          kStartupRows[1].text, textsOf(kStartupRows)};
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

// An option group: its stored value and its rows, in the order of the menu and of the
// preferences window's list. What a missing or unknown text counts as is the value's fallback.
struct OptionGroup {
    const StoredSetting* setting;
    std::span<const OptionRow> rows;
    OptionValue sets = OptionValue::None;

    int count() const { return int(rows.size()); }
    // The row whose text is `text` (exact letter case), or -1.
    int find(const QString& text) const
    {
        for (int i = 0; i < count(); ++i)
            if (rows[std::size_t(i)].text.size() > 0 && text == rows[std::size_t(i)].text)
                return i;
        return -1;
    }
    int fallbackRow() const { return find(QString(setting->fallback)); }
    // The row a stored text selects: its own, or the fallback row.
    int rowOf(const QString& text) const
    {
        const int row = find(text);
        return row >= 0 ? row : fallbackRow();
    }
    const OptionRow& row(int i) const { return rows[std::size_t(i)]; }
};

inline constexpr OptionGroup RateOptions{&tRate, kRateRows, OptionValue::BlockSize};
inline constexpr OptionGroup SizeOptions{&sSize, kSizeRows, OptionValue::PieceSize};
inline constexpr OptionGroup UnpackToOptions{&sDir, kUnpackToRows};
inline constexpr OptionGroup UnpackTypeOptions{&UnpkTyp, kUnpackTypeRows};
inline constexpr OptionGroup JoinBatchOptions{&Jbat, kJoinBatchRows};
inline constexpr OptionGroup DeleteOptions{&Delact, kDeleteRows};
inline constexpr OptionGroup SaveToOptions{&SaveTo, kSaveToRows};
inline constexpr OptionGroup StartupOptions{&StartupOpt, kStartupRows};
inline constexpr OptionGroup OverwriteOptions{&Owrite, kOverwriteRows};

// The custom rows: a folder chosen in a dialog, or a size kept in its mode's companion value.
inline constexpr int kUnpackToCustomRow = 2;
inline constexpr int kSaveToCustomRow = 0;
inline constexpr int kStartupCustomRow = 0;
inline constexpr int kSizeCustomRow = 4;

// Every group, in the order the start-up applies them.
inline constexpr const OptionGroup* kOptionGroups[] = {&RateOptions,       &SizeOptions,      &UnpackToOptions,
                                                       &UnpackTypeOptions, &JoinBatchOptions, &DeleteOptions,
                                                       &SaveToOptions,     &StartupOptions,   &OverwriteOptions};

// The piece size a missing or unknown size counts as.
inline constexpr std::int64_t kDefaultPieceSize = kSizeRows[2].value;

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
