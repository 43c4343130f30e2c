#pragma once

#include <QByteArray>
#include <QString>

#include "wmf/WmfFormat.h"

namespace wmf {

// How a metafile without the placeable header is treated.
enum class NonPlaceable {
    Reject,          // the header is required, as for target documents
    FrameFromWindow  // the first window origin and extent give the frame, at 1440 units per inch
};

// Decodes a metafile (with or without the 22-byte placeable header) into a
// display list. Every count and size is checked against the bytes that remain;
// decoding stops at the first record that is truncated or smaller than three
// words and keeps what came before. Returns false, with a reason, when the
// headers are unusable or the bitmaps exceed MAX_IMAGE_BYTES.
bool decode(const QByteArray& data, Picture& picture, QString* error = nullptr,
            NonPlaceable nonPlaceable = NonPlaceable::Reject);

// Whether the first bytes of a file (at least the placeable header and the
// metafile header) start a metafile, with or without the placeable header.
bool LooksLikeMetafile(const QByteArray& head);

// Records after which decoding stops, however big the file says it is, and
// the bytes that the decoded bitmaps of one picture may take together (a
// file that needs more is refused). The fuzzing build lowers both bounds.
#ifdef VANTRIC_SMALL_LIMITS
constexpr int MAX_RECORDS = 256 * 1024;
constexpr qint64 MAX_IMAGE_BYTES = qint64(32) * 1024 * 1024;
#else
constexpr int MAX_RECORDS = 4 * 1024 * 1024;
constexpr qint64 MAX_IMAGE_BYTES = qint64(256) * 1024 * 1024;
#endif

} // namespace wmf
