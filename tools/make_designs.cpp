// Writes the Ringdesigner targets shipped in "data/Targets/": the designs of
// "My Targets/" and the rulebook targets of "Standard Targets/" with their
// README.txt.
// Usage: make_designs <Targets folder>
#include <QString>
#include <QStringList>

#include <cstdio>

#include "designs/ShippedDesigns.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <Targets folder>\n", argv[0]);
        return 2;
    }
    QString error;
    QStringList log;
    const bool ok = WriteShippedDesigns(QString::fromLocal8Bit(argv[1]), &error, &log);
    for (const QString& line : log) std::printf("%s\n", qPrintable(line));
    if (!ok) std::fprintf(stderr, "%s\n", qPrintable(error));
    return ok ? 0 : 1;
}
