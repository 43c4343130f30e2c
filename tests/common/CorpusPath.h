#pragma once
// Where the shared corpus of real BMP, JPEG and metafile samples lies:
// $VANTRIC_CORPUS_DIR when set, else the folder the build was configured with.
// Where VANTRIC_REQUIRE_CORPUS is set (CI sets it, since there the corpus is
// always beside the clone), a missing corpus file fails the test instead of
// skipping it, so a wrong path can never pass for green.
#include <QFileInfo>
#include <QString>
#include <QtTest>

inline QString corpusPath(const QString& relative = QString())
{
    const QString root = qEnvironmentVariableIsSet("VANTRIC_CORPUS_DIR")
                             ? qEnvironmentVariable("VANTRIC_CORPUS_DIR")
                             : QStringLiteral(VANTRIC_CORPUS_DIR);
    return relative.isEmpty() ? root : root + QLatin1Char('/') + relative;
}

#define SKIP_WITHOUT_CORPUS(path)                                                        \
    do {                                                                                 \
        if (!QFileInfo::exists(path)) {                                                  \
            if (qEnvironmentVariableIsSet("VANTRIC_REQUIRE_CORPUS"))                     \
                QFAIL(qPrintable(QStringLiteral("corpus file missing: ") + (path)));     \
            QSKIP("the shared corpus is not present");                                   \
        }                                                                                \
    } while (0)
