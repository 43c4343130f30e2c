#pragma once

// Command ids of the menus, accelerators and toolbar. The numbers are part of
// the resource contract: menus, toolbar buttons and string prompts use them.
namespace Cmd {

// File
constexpr int ID_FILE_NEW = 57600;           // New Ringdesigner
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_CLOSE = 57602;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_SAVE_AS = 57604;
constexpr int ID_FILE_PAGE_SETUP = 57605;
constexpr int ID_FILE_PRINT_SETUP = 57606;
constexpr int ID_FILE_PRINT = 57607;
constexpr int ID_FILE_PRINT_DIRECT = 57608;
constexpr int ID_FILE_PRINT_PREVIEW = 57609;
constexpr int ID_FILE_MRU_FILE1 = 57616;     // recent files 57616..57631
constexpr int ID_FILE_MRU_FIRST = 57616;
constexpr int ID_FILE_MRU_LAST = 57631;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;

// Edit (the framework's editing keys; no window handles them)
constexpr int ID_EDIT_CLEAR = 57632;
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_PASTE = 57637;
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_EDIT_RINGDESIGNER = 32927;  // Edit with Ringdesigner

// Window
constexpr int ID_WINDOW_ARRANGE = 57649;
constexpr int ID_WINDOW_CASCADE = 57650;
constexpr int ID_WINDOW_TILE_HORZ = 57651;
constexpr int ID_WINDOW_CLOSE_ALL = 32921;
constexpr int ID_WINDOW_MORE = 32953;  // More Windows (past the ninth)
constexpr int ID_NEXT_PANE = 57680;
constexpr int ID_PREV_PANE = 57681;

// View: bars and the thumbnail viewer
constexpr int ID_VIEW_TOOLBAR = 59392;
constexpr int ID_VIEW_STATUS_BAR = 59393;
constexpr int ID_VIEW_THUMBNAIL = 32832;

// View: zoom of the target view
constexpr int ID_VIEW_FIT_TO_WINDOW = 32770;
constexpr int ID_VIEW_ZOOM_25 = 32773;
constexpr int ID_VIEW_ZOOM_50 = 32775;
constexpr int ID_VIEW_ZOOM_75 = 32776;
constexpr int ID_VIEW_ZOOM_100 = 32777;

// View: tiling and scaling of the target view
constexpr int ID_VIEW_TILE_PAGES = 32790;     // Tile Pages to Target
constexpr int ID_VIEW_SCALE_TO_PAGE = 32794;  // Scale Target to Page
constexpr int ID_VIEW_SCALE_DISTANCE = 32922; // Scale Target for Distance
constexpr int ID_VIEW_TILE_TARGET = 32926;    // Tile Target to Page

// Printing true to size: the calibration of the printer, the scale check
constexpr int ID_FILE_PRINT_CALIBRATION = 32950;  // Printer Calibration
constexpr int ID_VIEW_SCALE_CHECK = 32951;        // Print Scale Check
constexpr int ID_VIEW_SCREEN_CALIBRATION = 32952; // Screen Calibration
constexpr int ID_VIEW_POSTER_OPTIONS = 32953;     // Poster Options (overlap, labels, centre, empty sheets)
constexpr int ID_VIEW_DOCUMENT_PAGE = 32955;      // the page of a PDF target

// Thumbnail sizes of the thumbnail viewer
constexpr int ID_THUMB_SMALL = 32900;
constexpr int ID_THUMB_MEDIUM = 32901;
constexpr int ID_THUMB_LARGE = 32902;

// Help
constexpr int ID_HELP_HOWTO = 32800;

// Indicators of the status bar
constexpr int ID_SEPARATOR = 0;
constexpr int ID_INDICATOR_CAPS = 59137;
constexpr int ID_INDICATOR_NUM = 59138;
constexpr int ID_INDICATOR_SCRL = 59139;

// Bars
constexpr int AFX_IDW_TOOLBAR = 59392;
constexpr int AFX_IDW_STATUS_BAR = 59393;

// Framework strings used as dialog titles
constexpr int AFX_IDS_OPENFILE = 61440;  // "Open"
constexpr int AFX_IDS_SAVEFILE = 61441;  // "Save As"

// Resource ids
constexpr int IDR_MAINFRAME = 128;
constexpr int IDR_TARGETTYPE = 129;
constexpr int IDR_MRU_POPUP = 130;
constexpr int IDR_THUMBTYPE = 135;

}  // namespace Cmd

// Flags of the file dialogs, with their Windows values.
namespace Ofn {
constexpr unsigned OVERWRITEPROMPT = 0x00000002;
constexpr unsigned HIDEREADONLY = 0x00000004;
constexpr unsigned ALLOWMULTISELECT = 0x00000200;
constexpr unsigned PATHMUSTEXIST = 0x00000800;
constexpr unsigned FILEMUSTEXIST = 0x00001000;
}  // namespace Ofn
