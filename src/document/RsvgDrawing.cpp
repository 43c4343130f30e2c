// librsvg and glib come first: their headers use names Qt's keywords take.
#include <librsvg/rsvg.h>

#include "document/SvgTarget.h"

#include <QImage>

RsvgDrawing::~RsvgDrawing()
{
    if (m_handle) g_object_unref(static_cast<RsvgHandle*>(m_handle));
}

std::unique_ptr<RsvgDrawing> RsvgDrawing::Load(const QByteArray& data, const QString& baseFile)
{
    // Without RSVG_HANDLE_FLAG_UNLIMITED librsvg keeps its own limits on
    // nesting, references and element counts.
    RsvgHandle* handle = rsvg_handle_new_with_flags(RSVG_HANDLE_FLAGS_NONE);
    if (!handle) return nullptr;
    const QByteArray base = baseFile.toLocal8Bit();
    GFile* file = g_file_new_for_path(base.constData());
    rsvg_handle_set_base_gfile(handle, file);
    g_object_unref(file);
    GError* error = nullptr;
    GInputStream* stream = g_memory_input_stream_new_from_data(data.constData(), data.size(), nullptr);
    const gboolean ok = rsvg_handle_read_stream_sync(handle, stream, nullptr, &error);
    g_object_unref(stream);
    if (!ok) {
        if (error) g_error_free(error);
        g_object_unref(handle);
        return nullptr;
    }
    std::unique_ptr<RsvgDrawing> drawing(new RsvgDrawing);
    drawing->m_handle = handle;
    return drawing;
}

QImage RsvgDrawing::Render(const QSize& full, const QRect& part) const
{
    if (!m_handle || part.isEmpty()) return QImage();
    QImage image(part.size(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;
    image.fill(Qt::white);
    cairo_surface_t* surface = cairo_image_surface_create_for_data(image.bits(), CAIRO_FORMAT_ARGB32, image.width(),
                                                                   image.height(), int(image.bytesPerLine()));
    cairo_t* cr = cairo_create(surface);
    const RsvgRectangle viewport = {-double(part.x()), -double(part.y()), double(full.width()),
                                    double(full.height())};
    GError* error = nullptr;
    rsvg_handle_render_document(static_cast<RsvgHandle*>(m_handle), cr, &viewport, &error);
    if (error) g_error_free(error);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
    return image.convertToFormat(QImage::Format_RGB32);
}
