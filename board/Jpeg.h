#pragma once
// Decoding the background texture with libjpeg.

#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes a baseline or progressive JPEG (grey or colour) into an RGB32 image.
// Returns false and leaves out untouched when the bytes are not a JPEG it can decode.
bool DecodeJpeg(const QByteArray& bytes, QImage& out);

// Decodes the built-in JPEG resource of that name ("BACK" is ":/board/back.jpg") into bitmap.
// The bitmap is reset to an empty image first; returns 0 on success, 1 on any failure.
int LoadJpegResource(const QString& name, QImage& bitmap);
