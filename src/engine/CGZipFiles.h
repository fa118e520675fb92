#pragma once
// One zip job: the archive's name, the list of files to put in it and a few options. Created for
// one archive, filled, run once with MakeZipFile, dropped.
#include <QString>
#include <QStringList>
#include <cstdint>

namespace kivro {

class CGZipFiles {
public:
    // The application error base; the job's own errors are numbered from it.
    static constexpr int kErrorBase = int(0x80040000u);
    static constexpr int kErrFileAlreadyInList = kErrorBase + 2001; // 0x800407D1
    static constexpr int kErrFileNotInList = kErrorBase + 2002;     // 0x800407D2
    // The first entry of every list, ahead of the added names; the library skips it.
    static inline const QString kPlaceholder = QStringLiteral("querty");

    CGZipFiles();

    bool RecurseFolders() const { return m_recurse != 0; }
    void setRecurseFolders(bool bRecurse) { m_recurse = bRecurse ? 1 : 0; }
    QString ZipFileName() const { return m_zipFileName; }
    void setZipFileName(const QString& sZipFileName) { m_zipFileName = sZipFileName; }
    // Stored and read back only; archives are never encrypted.
    bool Encrypted() const { return m_encrypt != 0; }
    void setEncrypted(bool bEncrypt) { m_encrypt = bEncrypt ? 1 : 0; }
    // Stored and read back only.
    bool IncludeSystemFiles() const { return m_includeSystem != 0; }
    void setIncludeSystemFiles(bool bInclude) { m_includeSystem = bInclude ? 1 : 0; }
    // The number of names added, not counting the placeholder.
    int ZipFileCount() const { return int(m_files.size()) - 1; }
    // The folder the stored names are relative to; "/" (the root of the file system) at first.
    QString RootDirectory() const { return m_rootDirectory; }
    void setRootDirectory(const QString& sRootDir) { m_rootDirectory = sRootDir; }
    bool UpdatingZip() const { return m_update != 0; }
    void setUpdatingZip(bool bUpdating) { m_update = bUpdating ? 1 : 0; }

    // Appends a name. A name already in the list (compared without regard to case, the
    // placeholder included) raises kErrFileAlreadyInList with the source "CGZip::AddFile".
    void AddFile(const QString& sFileName);
    // Removes a name (compared without regard to case). A name not in the list raises
    // kErrFileNotInList with the source "CGZip::RemoveFile".
    void RemoveFile(const QString& sFileName);
    // Runs the job and returns the library's result (0 = success). The name list holds 100
    // entries, the placeholder included: a 100th added name fails with error 9. Every failure is
    // raised with its own number and description and the source "CGZipFiles::MakeZipFile".
    std::int32_t MakeZipFile();
    // The last text the library printed in the most recent run (of any job).
    QString GetLastMessage() const;

    // The entries in order, the placeholder first.
    const QStringList& entries() const { return m_files; }

private:
    int indexOf(const QString& key) const;

    QStringList m_files;
    QString m_zipFileName;
    std::int16_t m_recurse = 0;
    std::int16_t m_encrypt = 0;
    std::int16_t m_includeSystem = 0;
    std::int16_t m_update = 0;
    QString m_rootDirectory = QStringLiteral("/");
};

// True when the extension of the path's file name (paths::extensionOf) is "zip" in any letter
// case: such a file is not zipped again.
bool IsZip(const QString& path);

// The archive a file is zipped into: the path up to and including the "." that starts its file
// name's extension, followed by "zip"; the path followed by ".zip" when the name has none
// ("/t/my.dir/out" gives "/t/my.dir/out.zip", "/t/.hidden" gives "/t/.hidden.zip", "/v/a.mpg"
// gives "/v/a.zip").
QString ZipArchiveName(const QString& path);

} // namespace kivro
