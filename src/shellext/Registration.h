#pragma once

#include <QString>

#include "shellext/ComTypes.h"

// What a Windows build writes to the registry, a Linux desktop finds in the
// user's data folder ($XDG_DATA_HOME, else ~/.local/share):
//   thumbnailers/vantric.thumbnailer  the entry that runs vantric-thumbnailer
//   mime/packages/vantric.xml         the ".vnt" MIME type
// followed by a refresh of the MIME database there.
//
// The Windows registry entries, for reference (under HKEY_CLASSES_ROOT):
//   VNTThumbView.VNTView.1  = "VNTThumbView.VNTView", CLSID = {CLSID}
//   VNTThumbView.VNTView    = "VNTThumbView.VNTView", CLSID = {CLSID},
//                             CurVer = "VNTThumbView.VNTView.1"
//   CLSID\{CLSID}           = "VNTThumbView.VNTView", ProgID, VersionIndependentProgID,
//                             InprocServer32 = the DLL's path, ThreadingModel "Both"
//   .vnt\ShellEx\{BB2E617C-0920-11d1-9A0B-00C04FC2D6C1} = {CLSID}
// where {CLSID} is {3D45B3B9-799D-477F-874F-4A1C5E2A7C8A}.

// Writes both files (replacing earlier ones) naming the given program, then
// refreshes the MIME database. S_OK, or the error of the step that failed.
HRESULT RegisterThumbnailer(const QString& program);
// Removes exactly those two files and what the MIME database derived from
// them; folders left empty go too.
HRESULT UnregisterThumbnailer();

// The program beside this library (build tree) or in the installed bin folder.
QString FindThumbnailerProgram();
