#pragma once
// The options Pack and Unpack read. The option menus of the main window own them (the checked item
// of a group is the setting in force); an action takes one snapshot when it starts, so menus used
// during a long copy cannot change what the running action produces.
#include <QString>
#include <cstdint>

namespace kivro {

enum class OverwriteRule { No, Prompt, NoPrompt };       // Owrite
enum class DeleteAfterAction { No, Prompt, NoPrompt };   // Delact
enum class UnpackType { RAW, EMH };                      // UnpkTyp
enum class UnpackTarget { SaveFile, WhereFile, Custom }; // sDir: sfile, wfile, custom
enum class JoinBatch { None, Plain, WithInfo };          // Jbat: JbatNo, Jbat, JbatInfo

struct ActionOptions {
    std::int32_t blockSize = 100000; // mBlockSize (tRate)
    std::int32_t blockDigits = 5;    // mBlockDigits
    bool mpegCheck = true;           // MCheckMnu
    OverwriteRule overwrite = OverwriteRule::Prompt;
    bool zip = false; // ZipCompressMnu
    UnpackType unpackType = UnpackType::RAW;
    UnpackTarget unpackTarget = UnpackTarget::SaveFile;
    JoinBatch joinBatch = JoinBatch::None;
    QString saveAsFile; // SaveAsNewFilename_txt
};

} // namespace kivro
