#include "document/FileKinds.h"

#include <QFileInfo>

#include <algorithm>

namespace {

constexpr FileKind kKinds[] = {
#define FILE_KIND(ext, loader, kind, filter, offered, mime) {ext, FileLoader::loader, kind, filter, offered, mime},
#include "document/FileKinds.def"
#undef FILE_KIND
};

} // namespace

std::span<const FileKind> FileKinds() { return kKinds; }

const FileKind* FindFileKind(const QString& extension)
{
    for (const FileKind& k : kKinds)
        if (extension.compare(QLatin1String(k.extension), Qt::CaseInsensitive) == 0) return &k;
    return nullptr;
}

const FileKind* FileKindOfPath(const QString& path)
{
    // A name that ends in a dot has the extension "." and no kind.
    const int slash = int(path.lastIndexOf(QLatin1Char('/')));
    const int dot = int(path.lastIndexOf(QLatin1Char('.')));
    if (dot <= slash) return nullptr;
    return FindFileKind(path.mid(dot));
}

QList<FileKindFilter> FileKindFilters()
{
    QList<FileKindFilter> filters;
    QStringList all;
    for (const FileKind& k : kKinds) {
        if (!k.offered) continue;
        const QString pattern = QLatin1Char('*') + QLatin1String(k.extension);
        all << pattern;
        const QString name = QLatin1String(k.filterName);
        if (name.isEmpty()) continue;
        auto same = std::find_if(filters.begin(), filters.end(),
                                 [&](const FileKindFilter& f) { return f.name == name; });
        if (same == filters.end()) filters.append({name, pattern});
        else same->pattern += QLatin1Char(';') + pattern;
    }
    for (FileKindFilter& f : filters) f.name += QStringLiteral(" (") + f.pattern + QLatin1Char(')');
    filters.prepend({QStringLiteral("Image Files (") + all.join(QLatin1Char(';')) + QLatin1Char(')'),
                     all.join(QLatin1Char(';'))});
    return filters;
}
