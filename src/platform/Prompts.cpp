#include "platform/Prompts.h"

#include <QFile>
#include <QMutex>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <unistd.h>

namespace kivro {

namespace {

struct State {
    bool initialised = false;
    bool inProcess = false;
    bool fromEnv = false;
    std::deque<QString> answers;
    QStringList records;
    QStringList boxStyles;
    QString logFile;
    std::function<void(const QString&)> observer;
};

State& state()
{
    static State s;
    if (!s.initialised) {
        s.initialised = true;
        const QByteArray answersFile = qgetenv("KIVRO_TEST_ANSWERS");
        if (!answersFile.isEmpty()) {
            s.fromEnv = true;
            QFile f(QString::fromLocal8Bit(answersFile));
            if (f.open(QIODevice::ReadOnly)) {
                QString text = QString::fromUtf8(f.readAll());
                text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
                QStringList lines = text.split(QLatin1Char('\n'));
                // A final line break does not start another (empty) answer.
                if (!lines.isEmpty() && lines.last().isEmpty())
                    lines.removeLast();
                for (const QString& l : lines)
                    s.answers.push_back(l);
            }
        }
        s.logFile = QString::fromLocal8Bit(qgetenv("KIVRO_TEST_LOG"));
    }
    return s;
}

} // namespace

bool Prompts::scripted()
{
    const State& s = state();
    return s.inProcess || s.fromEnv;
}

void Prompts::enableScripted()
{
    State& s = state();
    s.inProcess = true;
    s.answers.clear();
    s.records.clear();
    s.boxStyles.clear();
}

void Prompts::disableScripted()
{
    State& s = state();
    s.inProcess = false;
    s.answers.clear();
}

void Prompts::queue(const QString& answer)
{
    state().answers.push_back(answer);
}

void Prompts::queue(const QStringList& answers)
{
    for (const QString& a : answers)
        queue(a);
}

int Prompts::pending()
{
    return int(state().answers.size());
}

std::optional<QString> Prompts::next()
{
    State& s = state();
    if (s.answers.empty())
        return std::nullopt;
    QString a = s.answers.front();
    s.answers.pop_front();
    return a;
}

QString Prompts::escape(const QString& field)
{
    QString out;
    out.reserve(field.size());
    for (QChar c : field) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('|'))
            out += QStringLiteral("\\|");
        else
            out += c;
    }
    return out;
}

void Prompts::record(const QStringList& fields)
{
    record(fields, {});
}

void Prompts::recordBox(const QStringList& fields, const QString& defaultButton, bool topMost)
{
    record(fields, {QStringLiteral("boxstyle"), defaultButton, topMost ? QStringLiteral("1") : QStringLiteral("0")});
}

void Prompts::record(const QStringList& fields, const QStringList& styleFields)
{
    auto lineOf = [](const QStringList& parts) {
        QStringList escaped;
        for (const QString& f : parts)
            escaped << escape(f);
        return escaped.join(QLatin1Char('|'));
    };
    const QString line = lineOf(fields);
    State& s = state();
    s.records << line;
    QByteArray bytes = line.toUtf8() + '\n';
    if (!styleFields.isEmpty()) {
        const QString style = lineOf(styleFields);
        s.boxStyles << style;
        bytes += style.toUtf8() + '\n';
    }
    if (s.observer)
        s.observer(line);
    if (!s.logFile.isEmpty()) {
        // One append for the line and its style line, so that programs sharing the file cannot
        // come between them.
        const int fd = ::open(QFile::encodeName(s.logFile).constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC,
                              0644);
        if (fd >= 0) {
            ssize_t w = ::write(fd, bytes.constData(), size_t(bytes.size()));
            (void)w;
            ::close(fd);
        }
    }
}

void Prompts::setRecordObserver(std::function<void(const QString& line)> observer)
{
    state().observer = std::move(observer);
}

QStringList Prompts::records()
{
    return state().records;
}

QStringList Prompts::boxStyles()
{
    return state().boxStyles;
}

void Prompts::clearRecords()
{
    state().records.clear();
    state().boxStyles.clear();
}

void Prompts::wrongKind(const QString& what)
{
    record({QStringLiteral("error"), what});
    if (!state().inProcess) {
        std::fprintf(stderr, "kivro: test answer of the wrong kind: %s\n", qPrintable(what));
        std::_Exit(3);
    }
}

} // namespace kivro
