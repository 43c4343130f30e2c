#pragma once

#include <QSize>
#include <QString>

#include <memory>

#include "document/FileKinds.h"
#include "platform/DeviceContext.h"
#include "platform/GdiRect.h"

class QImage;
class PictureImage;
class RasterImage;
class CTargetDesign;
class VectorTarget;

// Save status codes of TargetImage::Save.
enum TargetSaveStatus {
    SAVE_OK = 1,                 // saved, or nothing to save
    SAVE_NOT_SAVEABLE = 0,       // pictures and raster images are never written
    SAVE_DIR_NOT_WRITABLE = -1,
    SAVE_READ_ONLY = -2,
    SAVE_WRITE_FAILED = -3,
    SAVE_CANNOT_CREATE = -5,
};

// The largest target accepted, in inches either way (25.4 m).
constexpr double MAX_TARGET_INCHES = 1000.0;

// One loaded target in one of its representations. Loads by extension (the
// file-kind table says which loader), draws
// into any device rectangle, reports its physical size in HIMETRIC, makes
// thumbnail bitmaps and, for designs only, saves.
class TargetImage {
public:
    TargetImage();
    ~TargetImage();
    TargetImage(const TargetImage&) = delete;
    TargetImage& operator=(const TargetImage&) = delete;

    void Clear();
    // False also for a target whose size is 0 or beyond MAX_TARGET_INCHES
    // (a design with nothing enabled excepted): such a target is cleared.
    bool Load(const QString& path);
    bool SetDesigner(const CTargetDesign& design);
    int Save(const QString& path);
    bool Draw(DeviceContext& dc, const GdiRect& rect);
    // Replaces bitmap with the target drawn on white, fitted into the box
    // (designs fill the whole box). dc gives the resolution.
    bool MakeBitmap(DeviceContext& dc, QImage& bitmap, int boxWidth, int boxHeight);
    QSize GetSizeHimetric() const;

    // ".bmp" 0, ".jpg"/".jpeg" 1, ".png" 2, anything else -1; case is ignored.
    static int ClassifyRasterExtension(const QString& extension);

    // The pages of a document target (a PDF's); 1 for every other target.
    int PageCount() const;
    int Page() const;
    // Chooses the page drawn from now on; false (and no change) for a page
    // the target does not have.
    bool SetPage(int page);

    int kind() const { return m_kind; }
    PictureImage* picture() const { return m_picture.get(); }
    CTargetDesign* designer() const { return m_designer.get(); }
    RasterImage* raster() const { return m_raster.get(); }
    // A PDF page or an SVG drawing; it is a picture (TARGET_KIND_PICTURE).
    VectorTarget* drawing() const { return m_drawing.get(); }

private:
    bool loadPicture(const QString& path, bool isTargetDocument);
    bool loadDesigner(const QString& path);
    bool loadRaster(const QString& path, int rasterType);
    bool loadDrawing(const QString& path, bool pdf);
    bool hasSaneSize() const;

    int m_kind = TARGET_KIND_NONE;
    std::unique_ptr<PictureImage> m_picture;
    std::unique_ptr<CTargetDesign> m_designer;
    std::unique_ptr<RasterImage> m_raster;
    std::unique_ptr<VectorTarget> m_drawing;
};

// The 100-byte header of a target document: a text of n non-zero bytes ended
// by a zero at offset n <= 98, then a signed marker index k in 0..98 whose
// byte must be one of the marker values. The program accepts 0x1F, 0x1E,
// 0x17 and 0x16; the desktop thumbnailer does not accept 0x1F.
constexpr int TARGET_HEADER_SIZE = 100;
bool CheckTargetHeader(const unsigned char* header, int size, bool acceptMarker1F = true);
