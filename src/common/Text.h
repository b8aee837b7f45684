#pragma once

#include <QByteArray>
#include <QString>

namespace tillora {

// Texts are Unicode in the program; lengths, positions and cuts count the bytes
// the text has in GBK (code page 936): a Chinese character counts 2, ASCII 1.
// A character GBK cannot encode is kept and counts 2 bytes.

// The GBK bytes; a character GBK cannot encode is written as the full-width
// question mark "？" (A3 BF), so the byte count always equals gbkLength().
QByteArray gbkBytes(const QString& text);
int gbkLength(const QString& text);
// The first / last n bytes, never splitting a character: a character that
// would be cut in half is left out.
QString gbkLeft(const QString& text, int n);
QString gbkRight(const QString& text, int n);

// The GBK bytes, with each character GBK cannot encode written in its GB18030
// four-byte form instead of a placeholder, so that different texts always give
// different bytes. Equal to gbkBytes() for every text GBK can encode whole.
QByteArray gbkBytesDistinct(const QString& text);

} // namespace tillora
