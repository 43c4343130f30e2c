#include "platform/PdfPrintScaling.h"

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>

#include <optional>

namespace {

// Where the last cross-reference section lies is said in the file's last
// kilobyte; the section and its trailer follow it to the end of the file.
constexpr qint64 TAIL_BYTES = 1024;
// A cross-reference table of a million objects; a catalog of 64 KB.
constexpr qint64 MAX_XREF_BYTES = 20 * 1024 * 1024 + 4096;
constexpr qint64 MAX_CATALOG_BYTES = 64 * 1024;

QByteArray readAt(QFile& file, qint64 offset, qint64 length) {
    if (offset < 0 || offset >= file.size() || !file.seek(offset)) return {};
    return file.read(qMin(length, file.size() - offset));
}

std::optional<qint64> number(const QRegularExpressionMatch& m, int group) {
    bool ok = false;
    const qint64 n = m.captured(group).toLongLong(&ok);
    return ok && m.hasMatch() ? std::optional<qint64>(n) : std::nullopt;
}

// The dictionary that starts at text[from] ("<<"), up to its matching ">>"
// inclusive; strings in parentheses are skipped. Empty when unbalanced.
QByteArray dictionaryAt(const QByteArray& text, qsizetype from) {
    int depth = 0;
    int paren = 0;
    for (qsizetype i = from; i + 1 < text.size(); ++i) {
        const char c = text[i];
        if (paren > 0) {
            if (c == '\\')
                ++i;
            else if (c == '(')
                ++paren;
            else if (c == ')')
                --paren;
            continue;
        }
        if (c == '(') {
            paren = 1;
        } else if (c == '<' && text[i + 1] == '<') {
            ++depth;
            ++i;
        } else if (c == '>' && text[i + 1] == '>') {
            ++i;
            if (--depth == 0) return text.mid(from, i + 1 - from);
        }
    }
    return {};
}

// The offset of object number obj in a classic cross-reference section.
std::optional<qint64> objectOffset(const QByteArray& xref, qint64 obj) {
    const QList<QByteArray> tokens = xref.simplified().split(' ');
    qsizetype i = 1;  // past "xref"
    while (i + 1 < tokens.size() && tokens[i] != "trailer") {
        bool okStart = false;
        bool okCount = false;
        const qint64 start = tokens[i].toLongLong(&okStart);
        const qint64 count = tokens[i + 1].toLongLong(&okCount);
        if (!okStart || !okCount || count < 0 || i + 2 + 3 * count > tokens.size()) return std::nullopt;
        if (obj >= start && obj < start + count) {
            const qsizetype entry = i + 2 + 3 * (obj - start);
            if (tokens[entry + 2] != "n") return std::nullopt;
            bool ok = false;
            const qint64 offset = tokens[entry].toLongLong(&ok);
            return ok ? std::optional<qint64>(offset) : std::nullopt;
        }
        i += 2 + 3 * count;
    }
    return std::nullopt;
}

}  // namespace

bool AddPdfPrintScalingNone(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) return false;
    const qint64 size = file.size();
    const QByteArray tail = readAt(file, qMax<qint64>(0, size - TAIL_BYTES), TAIL_BYTES);
    const qsizetype at = tail.lastIndexOf("startxref");
    if (at < 0) return false;
    const std::optional<qint64> xrefOffset =
        number(QRegularExpression(QStringLiteral("^startxref\\s+(\\d+)")).match(QString::fromLatin1(tail.mid(at))), 1);
    if (!xrefOffset) return false;
    const QByteArray xref = readAt(file, *xrefOffset, MAX_XREF_BYTES);
    if (!xref.startsWith("xref")) return false;
    const qsizetype trailerAt = xref.indexOf("trailer");
    if (trailerAt < 0) return false;
    const qsizetype dictAt = xref.indexOf("<<", trailerAt);
    const QString trailer = QString::fromLatin1(dictAt < 0 ? QByteArray() : dictionaryAt(xref, dictAt));

    const QRegularExpressionMatch root =
        QRegularExpression(QStringLiteral("/Root\\s+(\\d+)\\s+(\\d+)\\s+R")).match(trailer);
    const std::optional<qint64> rootObj = number(root, 1);
    const std::optional<qint64> rootGen = number(root, 2);
    const std::optional<qint64> objects =
        number(QRegularExpression(QStringLiteral("/Size\\s+(\\d+)")).match(trailer), 1);
    if (!rootObj || !rootGen || !objects) return false;
    const std::optional<qint64> catalogOffset = objectOffset(xref.left(trailerAt), *rootObj);
    if (!catalogOffset) return false;

    const QByteArray object = readAt(file, *catalogOffset, MAX_CATALOG_BYTES);
    const QByteArray header = QByteArray::number(*rootObj) + ' ' + QByteArray::number(*rootGen) + " obj";
    if (!object.startsWith(header)) return false;
    const qsizetype catalogAt = object.indexOf("<<", header.size());
    const QByteArray catalog = catalogAt < 0 ? QByteArray() : dictionaryAt(object, catalogAt);
    if (catalog.isEmpty() || !catalog.contains("/Catalog")) return false;
    if (catalog.contains("/PrintScaling")) return true;
    if (catalog.contains("/ViewerPreferences")) return false;  // kept as the writer made it

    // The new catalog, its one-entry section, and a trailer that chains to
    // the previous section and keeps the document's information and id.
    QByteArray update = size > 0 && !tail.endsWith('\n') ? QByteArray("\n") : QByteArray();
    const qint64 newObjectAt = size + update.size();
    update += header + "\n" + catalog.chopped(2) + "/ViewerPreferences << /PrintScaling /None >>\n>>\nendobj\n";
    const qint64 newXrefAt = size + update.size();
    update += "xref\n" + QByteArray::number(*rootObj) + " 1\n" +
              QByteArray::number(newObjectAt).rightJustified(10, '0') + ' ' +
              QByteArray::number(*rootGen).rightJustified(5, '0') + " n \n";
    QByteArray newTrailer = "trailer\n<< /Size " + QByteArray::number(*objects) + " /Root " + header.chopped(4) + " R";
    const QRegularExpressionMatch info =
        QRegularExpression(QStringLiteral("/Info\\s+\\d+\\s+\\d+\\s+R")).match(trailer);
    if (info.hasMatch()) newTrailer += ' ' + info.captured(0).toLatin1();
    const QRegularExpressionMatch id = QRegularExpression(QStringLiteral("/ID\\s*\\[[^\\]]*\\]")).match(trailer);
    if (id.hasMatch()) newTrailer += ' ' + id.captured(0).toLatin1();
    newTrailer += " /Prev " + QByteArray::number(*xrefOffset) + " >>\n";
    update += newTrailer + "startxref\n" + QByteArray::number(newXrefAt) + "\n%%EOF\n";

    if (!file.seek(size)) return false;
    return file.write(update) == update.size() && file.flush();
}
