#include "document/TargetImage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>

#include <cmath>
#include <new>

#include "designer/TargetDesign.h"
#include "document/FileKinds.h"
#include "document/PdfTarget.h"
#include "document/PictureImage.h"
#include "document/RasterImage.h"
#include "document/SvgTarget.h"
#include "platform/MessageBox.h"
#include "platform/RegularFile.h"
#include "platform/Units.h"

TargetImage::TargetImage() = default;

TargetImage::~TargetImage() { Clear(); }

void TargetImage::Clear()
{
    m_picture.reset();
    m_designer.reset();
    m_raster.reset();
    m_drawing.reset();
    m_kind = TARGET_KIND_NONE;
}

int TargetImage::ClassifyRasterExtension(const QString& extension)
{
    const FileKind* kind = FindFileKind(extension);
    if (!kind) return -1;
    switch (kind->loader) {
    case FileLoader::Bmp: return RasterImage::TYPE_BMP;
    case FileLoader::Jpeg: return RasterImage::TYPE_JPEG;
    case FileLoader::Png: return RasterImage::TYPE_PNG;
    default: return -1;
    }
}

bool TargetImage::Load(const QString& path)
{
    Clear();
    try {
        bool ok = false;
        if (const FileKind* kind = FileKindOfPath(path)) {
            switch (kind->loader) {
            case FileLoader::TargetDocument: ok = loadPicture(path, true); break;
            case FileLoader::Metafile: ok = loadPicture(path, false); break;
            case FileLoader::Design: ok = loadDesigner(path); break;
            case FileLoader::Bmp:
            case FileLoader::Jpeg:
            case FileLoader::Png: ok = loadRaster(path, ClassifyRasterExtension(QLatin1String(kind->extension))); break;
            case FileLoader::Pdf: ok = loadDrawing(path, true); break;
            case FileLoader::Svg: ok = loadDrawing(path, false); break;
            }
        }
        if (ok && !hasSaneSize()) {
            // No real target is that large, and its numbers would overflow
            // every layout and print that follows.
            Clear();
            return false;
        }
        return ok;
    } catch (const std::exception&) {
        ShowMessage(QStringLiteral("Error Reading File:  %1\r\n\r\nCheck file format.").arg(path),
                    QStringLiteral("File Read Error"), MsgButtons::Ok, MsgIcon::Error, false);
        return false;
    }
}

bool TargetImage::loadPicture(const QString& path, bool isTargetDocument)
{
    m_picture = std::make_unique<PictureImage>();
    QFile file;
    if (!OpenRegularFile(path, file)) {
        m_kind = TARGET_KIND_PICTURE;
        return false;
    }
    if (isTargetDocument) {
        unsigned char header[TARGET_HEADER_SIZE];
        const qint64 got = file.read(reinterpret_cast<char*>(header), TARGET_HEADER_SIZE);
        if (got != TARGET_HEADER_SIZE || !CheckTargetHeader(header, TARGET_HEADER_SIZE)) {
            m_picture.reset();
            return false;
        }
    }
    const bool ok = m_picture->Load(file);
    m_kind = TARGET_KIND_PICTURE;
    return ok;
}

bool TargetImage::loadDesigner(const QString& path)
{
    m_designer = std::make_unique<CTargetDesign>();
    QFile file;
    bool ok = false;
    if (OpenRegularFile(path, file)) ok = m_designer->Read(file) != 0;
    m_kind = TARGET_KIND_DESIGNER;
    return ok;
}

bool TargetImage::loadRaster(const QString& path, int rasterType)
{
    m_raster = std::make_unique<RasterImage>(rasterType);
    const bool ok = m_raster->Load(path);
    m_kind = TARGET_KIND_RASTER;
    return ok;
}

bool TargetImage::loadDrawing(const QString& path, bool pdf)
{
    if (pdf) m_drawing = PdfTarget::Open(path);
    else m_drawing = SvgTarget::Open(path);
    m_kind = TARGET_KIND_PICTURE;
    return m_drawing != nullptr;
}

int TargetImage::PageCount() const { return m_drawing ? m_drawing->PageCount() : 1; }

int TargetImage::Page() const { return m_drawing ? m_drawing->Page() : 1; }

bool TargetImage::SetPage(int page)
{
    if (m_drawing) return m_drawing->SetPage(page);
    return page == 1;
}

bool TargetImage::SetDesigner(const CTargetDesign& design)
{
    Clear();
    try {
        m_designer = std::make_unique<CTargetDesign>();
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_designer->CopyFrom(design);
    m_kind = TARGET_KIND_DESIGNER;
    return true;
}

int TargetImage::Save(const QString& path)
{
    if (m_kind == TARGET_KIND_PICTURE || m_kind == TARGET_KIND_RASTER) return SAVE_NOT_SAVEABLE;
    if (m_kind == TARGET_KIND_NONE || !m_designer) return SAVE_OK;

    // A file or folder without any write-permission bit counts as read-only
    // even for the superuser, whom the access check would let through.
    auto writable = [](const QFileInfo& info) {
        return info.isWritable()
               && (info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    };
    const QFileInfo target(path);
    const QFileInfo dir(target.absolutePath());
    if (!dir.exists() || !dir.isDir() || !writable(dir)) return SAVE_DIR_NOT_WRITABLE;
    if (target.exists() && !writable(target)) return SAVE_READ_ONLY;

    // Written to a temporary file beside the target and renamed over it only
    // once complete, so a failed save never leaves a partial file or destroys
    // the previous one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return SAVE_CANNOT_CREATE;
    // Flushed here because commit() does not notice a buffered write that
    // fails while it closes the file, and would rename a cut-off file over
    // the previous one.
    if (m_designer->Write(file) == 0 || !file.flush()) {
        file.cancelWriting();
        return SAVE_WRITE_FAILED;
    }
    if (!file.commit()) return SAVE_WRITE_FAILED;
    return SAVE_OK;
}

bool TargetImage::Draw(DeviceContext& dc, const GdiRect& rect)
{
    switch (m_kind) {
    case TARGET_KIND_PICTURE:
        if (m_drawing) {
            m_drawing->Draw(dc, QRectF(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
            return true;
        }
        if (!m_picture) return false;
        m_picture->Render(dc, rect.left, rect.top, rect.right, rect.bottom, nullptr);
        return true;
    case TARGET_KIND_RASTER:
        if (!m_raster) return false;
        m_raster->Draw(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        return true;
    case TARGET_KIND_DESIGNER:
        if (!m_designer) return false;
        m_designer->Draw(dc, rect);
        return true;
    default:
        return false;
    }
}

bool TargetImage::MakeBitmap(DeviceContext& dc, QImage& bitmap, int boxWidth, int boxHeight)
{
    if (boxWidth <= 0 || boxHeight <= 0) return false;
    if (m_kind == TARGET_KIND_DESIGNER) {
        if (!m_designer) return false;
        bitmap = makeDeviceImage(boxWidth, boxHeight, dc.dpiX(), dc.dpiY());
        QPainter painter(&bitmap);
        DeviceContext mem(&painter, dc.dpiX(), dc.dpiY());
        m_designer->Draw(mem, GdiRect(0, 0, boxWidth, boxHeight));
        return true;
    }

    QSize natural;
    if (m_kind == TARGET_KIND_PICTURE && m_drawing) {
        const QSizeF inches = m_drawing->SizeInches();
        natural = QSize(std::max(1, int(std::lround(inches.width() * dc.dpiX()))),
                        std::max(1, int(std::lround(inches.height() * dc.dpiY()))));
    } else if (m_kind == TARGET_KIND_PICTURE && m_picture) natural = m_picture->GetSizeDevice(&dc);
    else if (m_kind == TARGET_KIND_RASTER && m_raster)
        natural = QSize(static_cast<int>(m_raster->Width()), static_cast<int>(m_raster->Height()));
    else return false;
    if (natural.width() <= 0 || natural.height() <= 0) return false;

    const double s = std::min(double(boxWidth) / natural.width(), double(boxHeight) / natural.height());
    const int w = static_cast<int>(natural.width() * s);
    const int h = static_cast<int>(natural.height() * s);
    if (w <= 0 || h <= 0) return false;
    if (m_kind == TARGET_KIND_RASTER) {
        bitmap = m_raster->Thumbnail(w, h, dc.dpiX(), dc.dpiY());
        return true;
    }

    bitmap = makeDeviceImage(w, h, dc.dpiX(), dc.dpiY());
    QPainter painter(&bitmap);
    DeviceContext mem(&painter, dc.dpiX(), dc.dpiY());
    mem.setStretchMode(DeviceContext::ColorOnColor);
    if (m_kind == TARGET_KIND_PICTURE && m_drawing) m_drawing->Draw(mem, QRectF(0, 0, w, h));
    else m_picture->Render(mem, 0, 0, w, h, nullptr);
    return true;
}

bool TargetImage::hasSaneSize() const
{
    double width = 0, height = 0;  // inches
    switch (m_kind) {
    case TARGET_KIND_PICTURE:
        if (m_drawing) {
            width = m_drawing->SizeInches().width();
            height = m_drawing->SizeInches().height();
            break;
        }
        if (!m_picture) return false;
        width = Units::HimetricToInches(m_picture->GetSizeHimetric().width());
        height = Units::HimetricToInches(m_picture->GetSizeHimetric().height());
        break;
    case TARGET_KIND_DESIGNER:
        // A design with nothing enabled has no size, and is still a design
        // that can be opened and edited.
        if (!m_designer) return false;
        width = height = m_designer->OverallDiameter();
        if (width == 0) return true;
        break;
    case TARGET_KIND_RASTER:
        if (!m_raster) return false;
        width = double(m_raster->Width()) / (m_raster->DpiX() ? m_raster->DpiX() : 72);
        height = double(m_raster->Height()) / (m_raster->DpiY() ? m_raster->DpiY() : 72);
        break;
    default:
        return false;
    }
    // Whole HIMETRIC units: a size that truncates to 0 is no size.
    auto sane = [](double inches) { return Units::InchesToHimetric(inches) >= 1.0 && inches <= MAX_TARGET_INCHES; };
    return sane(width) && sane(height);
}

QSize TargetImage::GetSizeHimetric() const
{
    switch (m_kind) {
    case TARGET_KIND_PICTURE:
        if (m_drawing)
            return QSize(int(std::lround(Units::InchesToHimetric(m_drawing->SizeInches().width()))),
                         int(std::lround(Units::InchesToHimetric(m_drawing->SizeInches().height()))));
        return m_picture ? m_picture->GetSizeHimetric() : QSize();
    case TARGET_KIND_DESIGNER: {
        if (!m_designer) return QSize();
        const int side = static_cast<int>(Units::InchesToHimetric(m_designer->OverallDiameter()));
        return QSize(side, side);
    }
    case TARGET_KIND_RASTER: {
        if (!m_raster) return QSize();
        const double xDpi = m_raster->DpiX() ? m_raster->DpiX() : 72;
        const double yDpi = m_raster->DpiY() ? m_raster->DpiY() : 72;
        return QSize(static_cast<int>(Units::InchesToHimetric(double(m_raster->Width()) / xDpi)),
                     static_cast<int>(Units::InchesToHimetric(double(m_raster->Height()) / yDpi)));
    }
    default:
        return QSize();
    }
}
