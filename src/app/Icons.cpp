#include "app/Icons.h"

#include <QHash>

#include "platform/CommandIds.h"

using namespace Cmd;

QIcon CommandIcon(int id)
{
    static const QHash<int, const char*> names = {
        {ID_FILE_NEW, "new"},
        {ID_FILE_OPEN, "open"},
        {ID_FILE_SAVE, "save"},
        {ID_FILE_PRINT, "print"},
        {ID_VIEW_THUMBNAIL, "thumbnails"},
        {ID_EDIT_RINGDESIGNER, "edit"},
        {ID_VIEW_ZOOM_100, "zoom100"},
        {ID_VIEW_FIT_TO_WINDOW, "fit"},
        {ID_VIEW_TILE_PAGES, "tilepages"},
        {ID_VIEW_TILE_TARGET, "tiletarget"},
        {ID_VIEW_SCALE_TO_PAGE, "scalepage"},
        {ID_VIEW_SCALE_DISTANCE, "scaledistance"},
        {ID_HELP_HOWTO, "help"},
    };
    const char* name = names.value(id);
    if (!name) return {};
    // The @2x picture is found beside the 1x one.
    return QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(name)));
}

static QIcon sizedIcon(const char* base)
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(QLatin1String(base)).arg(size), QSize(size, size));
    return icon;
}

QIcon ProgramIcon() { return sizedIcon("vantric"); }

QIcon DocumentIcon() { return sizedIcon("target-document"); }
