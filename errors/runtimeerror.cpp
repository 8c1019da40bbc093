#include "errors/runtimeerror.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

void reportToStderr(const RuntimeError &error)
{
    std::fprintf(stderr, "orvatek: run-time error %d: %s\n", error.number(),
        error.description().toLocal8Bit().constData());
    QCoreApplication::exit(RuntimeError::UntrappedExitStatus);
}

UntrappedReport untrappedReport = reportToStderr;

// Not even the memory to report an error: it is said on stderr, and the program
// ends at once.
[[noreturn]] void lastWords()
{
    std::fputs("orvatek: run-time error 7: out of memory\n", stderr);
    std::_Exit(RuntimeError::UntrappedExitStatus);
}

} // namespace

RuntimeError::RuntimeError(int number, const QString &description)
    : m_number(number)
    , m_description(description)
    , m_what(QString::number(number).toStdString() + ": " + description.toStdString())
{
}

RuntimeError RuntimeError::from(std::exception_ptr thrown)
{
    try {
        std::rethrow_exception(thrown);
    } catch (const RuntimeError &error) {
        return error;
    } catch (const std::bad_alloc &) {
        return RuntimeError(OutOfMemory, QStringLiteral("Недостаточно памяти"));
    } catch (const std::exception &error) {
        return RuntimeError(InternalError,
            QStringLiteral("Внутренняя ошибка: ") + QString::fromLocal8Bit(error.what()));
    } catch (...) {
        return RuntimeError(InternalError, QStringLiteral("Внутренняя ошибка"));
    }
}

void setUntrappedReport(UntrappedReport report)
{
    untrappedReport = report ? report : reportToStderr;
}

void reportLater(std::exception_ptr thrown) noexcept
{
    try {
        const RuntimeError error = RuntimeError::from(thrown);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [error] {
                try {
                    untrappedReport(error);
                } catch (...) {
                    lastWords();
                }
            },
            Qt::QueuedConnection);
        return;
    } catch (...) {
    }
    lastWords();
}
