#include "app/CommandText.h"

#include <QHash>

#include "platform/CommandIds.h"

using namespace Cmd;

QString CommandString(int id)
{
    static const QHash<int, QString> strings = {
        {ID_HELP_HOWTO, QStringLiteral("Open the Vantric help file\nHow To Use Vantric")},
        {ID_VIEW_THUMBNAIL, QStringLiteral("Show or hide the Thumbnail view window\nToggle Thumbnail view")},
        {ID_FILE_NEW, QStringLiteral("Create a new target with the Ringdesigner\nNew Ringdesigner")},
        {ID_EDIT_RINGDESIGNER, QStringLiteral("Edit the target with the Ringdesigner\nEdit with Ringdesigner")},
        {ID_VIEW_SCALE_DISTANCE, QStringLiteral("Scale the taget for a given distance\nScale Taget for Distance")},
        {ID_VIEW_SCALE_TO_PAGE, QStringLiteral("Scale taget fit in the page\nScale Taget to Page")},
        {ID_VIEW_TILE_TARGET, QStringLiteral("Tile the target to fit the page\nTile Target")},
        {ID_VIEW_TILE_PAGES, QStringLiteral("Tile pages to fit target\nTile Pages")},
        {ID_VIEW_FIT_TO_WINDOW, QStringLiteral("Display image to fit window.\nFit Image to Window.")},
        {ID_VIEW_ZOOM_25, QStringLiteral("View image 1/4 of original size\n1/4 Original Size")},
        {ID_VIEW_ZOOM_50, QStringLiteral("View image 1/2 of original size\n1/2 Original Size")},
        {ID_VIEW_ZOOM_75, QStringLiteral("View image 3/4 of original size\n3/4 Original Size")},
        {ID_VIEW_ZOOM_100, QStringLiteral("View image with original size\nOriginal Size")},
        {ID_THUMB_SMALL, QStringLiteral("View small sized thumnail images\nSmall Size")},
        {ID_THUMB_MEDIUM, QStringLiteral("View medium sized thumnail images\nMedium Size")},
        {ID_THUMB_LARGE, QStringLiteral("View large sized thumnail images\nLarge Size")},
        // The framework's standard prompts.
        {ID_FILE_OPEN, QStringLiteral("Open an existing document\nOpen")},
        {ID_FILE_CLOSE, QStringLiteral("Close the active document\nClose")},
        {ID_FILE_SAVE, QStringLiteral("Save the active document\nSave")},
        {ID_FILE_SAVE_AS, QStringLiteral("Save the active document with a new name\nSave As")},
        {ID_FILE_PRINT, QStringLiteral("Print the active document\nPrint")},
        {ID_FILE_PRINT_SETUP, QStringLiteral("Change the printer and printing options\nPrint Setup")},
        {ID_FILE_PRINT_CALIBRATION,
         QStringLiteral("Measure the printer once so that targets print true to size\nPrinter Calibration")},
        {ID_VIEW_SCALE_CHECK, QStringLiteral("Print a 100 mm and a 4 in bar on every sheet\nPrint Scale Check")},
        {ID_VIEW_SCREEN_CALIBRATION,
         QStringLiteral("Measure the screen once so that 100% (Full Size) is true to size\nScreen Calibration")},
        {ID_WINDOW_MORE, QStringLiteral("Choose a window from the list of all open windows\nMore Windows")},
        {ID_VIEW_POSTER_OPTIONS,
         QStringLiteral("Overlap, sheet labels, centre and empty sheets of a poster\nPoster Options")},
        {ID_VIEW_DOCUMENT_PAGE, QStringLiteral("Choose the page of a PDF target that is shown and printed\nPage")},
        {ID_FILE_PRINT_PREVIEW, QStringLiteral("Display full pages\nPrint Preview")},
        {ID_APP_ABOUT, QStringLiteral("Display program information, version number and copyright\nAbout")},
        {ID_APP_EXIT, QStringLiteral("Quit the application; prompts to save documents\nExit")},
        {ID_WINDOW_CASCADE, QStringLiteral("Arrange windows so they overlap\nCascade Windows")},
        {ID_WINDOW_TILE_HORZ, QStringLiteral("Arrange windows as non-overlapping tiles\nTile Windows")},
        {ID_WINDOW_ARRANGE, QStringLiteral("Arrange icons at the bottom of the window\nArrange Icons")},
        {ID_WINDOW_CLOSE_ALL, QStringLiteral("Close all open windows\nClose All")},
        {ID_VIEW_TOOLBAR, QStringLiteral("Show or hide the toolbar\nToggle ToolBar")},
        {ID_VIEW_STATUS_BAR, QStringLiteral("Show or hide the status bar\nToggle StatusBar")},
    };
    if (id >= ID_FILE_MRU_FIRST && id <= ID_FILE_MRU_LAST) return QStringLiteral("Open this document");
    return strings.value(id);
}

QString CommandPrompt(int id) { return CommandString(id).section(QLatin1Char('\n'), 0, 0); }

QString CommandTooltip(int id) { return CommandString(id).section(QLatin1Char('\n'), 1, 1); }

QString IdleMessage() { return QStringLiteral("Ready"); }
