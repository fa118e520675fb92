// The table of stored value names and the one readSetting/writeSetting pair over it: accepted
// texts come back as stored, anything else as the fallback, and the two spellings of a value
// meet in one entry of the settings file.
#include "KivroTest.h"

#include "engine/Registry.h"
#include "engine/SettingNames.h"
#include "platform/Paths.h"

#include <QSet>

using namespace kivro;
using namespace kivro::Registry;

namespace {

const Settings::StoredSetting* byName(const QString& name)
{
    for (const Settings::StoredSetting* s : Settings::kAll)
        if (name == s->name)
            return s;
    return nullptr;
}

} // namespace

class TestSettingNames : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(paths::settingsFile()); }

    // Each name is one value, with its two spellings equal but for letter case, and a fallback
    // that the value itself accepts.
    void tableIsConsistent()
    {
        QSet<QString> seen;
        for (const Settings::StoredSetting* s : Settings::kAll) {
            const QString name = s->name;
            QVERIFY2(!seen.contains(name.toLower()), qPrintable(name));
            seen.insert(name.toLower());
            QVERIFY2(name.compare(s->readName, Qt::CaseInsensitive) == 0, qPrintable(name));
            if (!s->fallback.isEmpty())
                QVERIFY2(s->accepts(s->fallback), qPrintable(name));
        }
    }

    // Every accepted text round-trips: what the options write, the start-up reads back.
    void everyAcceptedTextRoundTrips()
    {
        for (const Settings::StoredSetting* s : Settings::kAll) {
            for (const QLatin1String text : s->texts) {
                if (text.isEmpty())
                    continue;
                writeSetting(*s, text);
                QCOMPARE(readSetting(*s), QString(text));
            }
        }
    }

    void readGivesStoredTextOrFallback_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("storedName"); // empty: nothing stored
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("read");
        QTest::newRow("rate") << "tRate"
                              << "tRate"
                              << "ufast"
                              << "ufast";
        QTest::newRow("unknown rate") << "tRate"
                                      << "tRate"
                                      << "turbo"
                                      << "normal";
        QTest::newRow("missing rate") << "tRate"
                                      << ""
                                      << ""
                                      << "normal";
        QTest::newRow("size texts keep their case") << "sSize"
                                                    << "sSize"
                                                    << "CustomFS"
                                                    << "high";
        QTest::newRow("custom size") << "sSize"
                                     << "sSize"
                                     << "custompfs"
                                     << "custompfs";
        QTest::newRow("written spelling, read spelling") << "UnpkTyp"
                                                         << "UnpkTyp"
                                                         << "EMH"
                                                         << "EMH";
        QTest::newRow("batch under another spelling") << "Jbat"
                                                      << "JBAT"
                                                      << "JbatInfo"
                                                      << "JbatInfo";
        QTest::newRow("overwrite default") << "Owrite"
                                           << ""
                                           << ""
                                           << "Prompt";
        QTest::newRow("delete default") << "Delact"
                                        << ""
                                        << ""
                                        << "No";
        QTest::newRow("check default on") << "MCC"
                                          << ""
                                          << ""
                                          << "On";
        QTest::newRow("zip default off") << "MZip"
                                         << "MZip"
                                         << "on"
                                         << "Off";
        QTest::newRow("tips default on") << "ShowTod"
                                         << ""
                                         << ""
                                         << "1";
        QTest::newRow("tips off") << "ShowTod"
                                  << "ShowTod"
                                  << "0"
                                  << "0";
        QTest::newRow("file types not yet written") << "fCheck"
                                                    << ""
                                                    << ""
                                                    << "";
        QTest::newRow("folder with a comma") << "LastUsedDir"
                                             << "LastUsedDir"
                                             << "/t/a, b"
                                             << "/t/a, b";
        QTest::newRow("missing folder") << "SaveCustomDir"
                                        << ""
                                        << ""
                                        << "";
        QTest::newRow("position") << "BrovletXpos"
                                  << "brovletxpos"
                                  << "-1500"
                                  << "-1500";
    }
    void readGivesStoredTextOrFallback()
    {
        QFETCH(QString, setting);
        QFETCH(QString, storedName);
        QFETCH(QString, stored);
        const Settings::StoredSetting* s = byName(setting);
        QVERIFY(s);
        if (!storedName.isEmpty())
            RegWriteString(HKEY_CURRENT_USER, kKivroKey, storedName, stored);
        QTEST(readSetting(*s), "read");
    }

    // The written spelling is the one a person finds in the settings file.
    void writeUsesTheWrittenSpelling()
    {
        writeSetting(Settings::UnpkTyp, QStringLiteral("EMH"));
        writeSetting(Settings::Jbat, QStringLiteral("Jbat"));
        const QByteArray ini = kivrotest::readFile(paths::settingsFile());
        QVERIFY2(ini.contains("UnpkTyp=EMH"), ini.constData());
        QVERIFY2(ini.contains("Jbat=Jbat"), ini.constData());
        QCOMPARE(RegReadString(HKEY_CURRENT_USER, kKivroKey, QStringLiteral("UnPkTyp")), QStringLiteral("EMH"));
    }
};

KIVRO_TEST_MAIN(TestSettingNames)
#include "tst_settingnames.moc"
