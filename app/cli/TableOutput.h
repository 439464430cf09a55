#pragma once

#include "SaveFile.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <optional>

namespace pointillo {

// Where a table goes as it is made: standard output, or a file that replaces the old one only
// when the table is whole (a device or a pipe is written directly). Throws CliError.
class TableOutput {
public:
    explicit TableOutput(const QString& path);

    void Write(const QByteArray& bytes);
    void Commit();

private:
    QString m_path;
    std::optional<SaveTarget> m_target;
};

// A line on standard error that says how far a long table has come, updated in place; only on
// a terminal, and only once the table has taken a second.
class Progress {
public:
    explicit Progress(qsizetype total);
    ~Progress();
    void Done(qsizetype done);

private:
    qsizetype m_total;
    bool m_terminal;
    bool m_shown = false;
    qint64 m_lastShown = 0;
    QElapsedTimer m_clock;
};

} // namespace pointillo
