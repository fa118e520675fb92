#pragma once
// A media-control channel for tests: it records every command string the wrappers send (with
// the reply length they pass) and answers from a script instead of a device. While it lives it
// is the channel of ModuleMultimedia.
//
//   MciRecorder mci;
//   mci.answer("status movie0 length", 0, "750");        // every time
//   mci.answer("status movie0 position", 0, "10");       // first time...
//   mci.answer("status movie0 position", 0, "20");       // ...then this one from then on
//   ModuleMultimedia::PlayMedia("movie0", "", "");
//   QCOMPARE(mci.commands(), (QStringList{...}));
//
// A command without a script answers 0 with an empty reply. Error texts are the platform's.
#include "platform/MediaControl.h"
#include "preview/ModuleMultimedia.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class MciRecorder : public kivro::MciChannel {
public:
    struct Answer {
        std::uint32_t code = 0;
        QString reply;
    };

    MciRecorder() { kivro::ModuleMultimedia::setChannel(this); }
    ~MciRecorder() override { kivro::ModuleMultimedia::setChannel(nullptr); }
    MciRecorder(const MciRecorder&) = delete;
    MciRecorder& operator=(const MciRecorder&) = delete;

    // Queues an answer for the exact command; the last queued answer of a command stays.
    void answer(const QString& command, std::uint32_t code, const QString& reply = QString())
    {
        m_script[command].append(Answer{code, reply});
    }
    // Every command sent so far, in order, and the reply length passed with each.
    const QStringList& commands() const { return m_commands; }
    const QList<std::uint32_t>& replyLengths() const { return m_lengths; }
    void clear()
    {
        m_commands.clear();
        m_lengths.clear();
        m_script.clear();
    }

    std::uint32_t mciSendStringA(const QString& command, QString* returnString, std::uint32_t returnLength,
                                 std::int32_t) override
    {
        m_commands.append(command);
        m_lengths.append(returnLength);
        if (returnString)
            returnString->clear();
        auto it = m_script.find(command);
        if (it == m_script.end() || it->isEmpty())
            return 0;
        const Answer a = it->size() > 1 ? it->takeFirst() : it->first();
        if (a.code == 0 && returnString)
            *returnString = a.reply;
        return a.code;
    }

    bool mciGetErrorStringA(std::uint32_t error, QString* text, std::uint32_t length) override
    {
        return kivro::win::mciGetErrorStringA(error, text, length);
    }

private:
    QStringList m_commands;
    QList<std::uint32_t> m_lengths;
    QHash<QString, QList<Answer>> m_script;
};
