#include "TableOutput.h"

#include "CliOptions.h"
#include "platform/PlatformError.h"

#include <cstdio>
#include <unistd.h>

namespace pointillo {

namespace {

[[noreturn]] void cannotWrite(const QString& path, const platform::PlatformError& e) {
    throw CliError{
        1, QStringLiteral("cannot write %1: %2").arg(path, QString::fromStdString(e.what()))};
}

} // namespace

TableOutput::TableOutput(const QString& path) : m_path(path) {
    if (path.isEmpty())
        return;
    try {
        m_target.emplace(path, true);
    } catch (const platform::PlatformError& e) {
        cannotWrite(path, e);
    }
}

void TableOutput::Write(const QByteArray& bytes) {
    if (!m_target) {
        if (std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) !=
            std::size_t(bytes.size()))
            throw CliError{1, QStringLiteral("cannot write to standard output")};
        return;
    }
    try {
        m_target->Write(bytes);
    } catch (const platform::PlatformError& e) {
        cannotWrite(m_path, e);
    }
}

void TableOutput::Commit() {
    if (!m_target) {
        if (std::fflush(stdout) != 0)
            throw CliError{1, QStringLiteral("cannot write to standard output")};
        return;
    }
    try {
        m_target->Commit();
    } catch (const platform::PlatformError& e) {
        cannotWrite(m_path, e);
    }
}

Progress::Progress(qsizetype total) : m_total(total), m_terminal(::isatty(STDERR_FILENO) == 1) {
    m_clock.start();
}

Progress::~Progress() {
    if (m_shown)
        std::fputs("\n", stderr);
}

void Progress::Done(qsizetype done) {
    if (!m_terminal)
        return;
    const qint64 elapsed = m_clock.elapsed();
    if (elapsed < 1000 || (elapsed - m_lastShown < 200 && done < m_total))
        return;
    m_lastShown = elapsed;
    m_shown = true;
    const double rate = done * 1000.0 / double(elapsed);
    const qint64 left = rate > 0 ? qint64((m_total - done) / rate) : 0;
    std::fprintf(stderr, "\r%lld of %lld glyphs, %.0f a second, %lld:%02lld left  ",
                 static_cast<long long>(done), static_cast<long long>(m_total), rate,
                 static_cast<long long>(left / 60), static_cast<long long>(left % 60));
    std::fflush(stderr);
}

} // namespace pointillo
