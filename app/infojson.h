#pragma once
// "editboot info --json IMAGE": the image's structure for scripts.

#include <QString>

class QTextStream;

namespace editboot {

// Loads the image through the editor as "info" does (the same refusals and
// errors) and writes one JSON object: path, size, marker, boot block range,
// the two ID strings with their ranges, and the CRC-32 of image and block.
void WriteInfoJson(const QString& imagePath, QTextStream& out);

} // namespace editboot
