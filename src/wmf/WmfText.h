#pragma once

#include <QByteArray>
#include <QString>

namespace wmf {

// Installed family that stands in for a Windows face name (Arial and
// Helvetica for Liberation Sans, Times New Roman for Liberation Serif,
// Courier New for Liberation Mono, Symbol for a face with Greek and
// mathematical glyphs); other names pass through to fontconfig.
QString mapFaceName(const QByteArray& face);

// True when the face stores its glyphs in the Symbol font's own code page.
bool isSymbolFace(const QByteArray& face);

// The text of a record in the character set of its font (an LOGFONT charset
// value); byteLengths gets the number of bytes behind each resulting UTF-16
// unit so per-byte advances can be summed per character.
QString decodeText(const QByteArray& bytes, int charSet, bool symbolFace, std::vector<int>* byteLengths = nullptr);

} // namespace wmf
