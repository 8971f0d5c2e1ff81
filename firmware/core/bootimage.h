#pragma once
// Operations on firmware images: the boot marker search, the boot block cut
// out of and put back into an image, the ID strings and the file checksum.
// Qt Core only (no editor, no window): the tool's window, its command line
// and hexview share them. Reading the ID strings through an editor's
// selection belongs to the tool itself, which has the editor.

#include "hexeditor/core/mphmemorystream.h"
#include "platform/core/streams.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

namespace boot {

inline constexpr int32_t BootBlockSize = 0x10000;
inline constexpr uint8_t BootMarker[4] = {0xE3, 0x00, 0x00, 0x10};

// ID string byte ranges (both ends included).
inline constexpr int32_t FirstIdStart = 32, FirstIdEnd = 44;
inline constexpr int32_t SecondIdStart = 48, SecondIdEnd = 58;

// The one 65,536-byte block buffer the tool keeps for its whole run, zeroed at
// start; both block commands pass the block through it.
using TBlockBuffer = std::array<uint8_t, BootBlockSize>;
TBlockBuffer& SharedBlockBuffer();

// Offset of the first boot marker in the whole of image, or 0 when there is
// none. The stream stands at its end afterwards.
int32_t FindBootMarker(TStream& image);
// Same search over memory.
int32_t FindBootMarker(const uint8_t* data, int64_t size);

// CRC-32 (IEEE 802.3) of a whole file; 0 when the file cannot be opened.
uint32_t FileCrc32(const QString& path);
// Continues a CRC-32 register (not inverted) over bytes.
uint32_t Crc32Update(uint32_t reg, const uint8_t* data, size_t size);
// The reference table (reflected polynomial 0xEDB88320).
const uint32_t* Crc32Table();
// The loops behind Crc32Update, for tests and benchmarks; each continues a
// register exactly as Crc32Update does and gives the same result.
// One byte per step through the reference table:
uint32_t Crc32UpdateBytewise(uint32_t reg, const uint8_t* data, size_t size);
// Sixteen bytes per step through tables derived from the reference table:
uint32_t Crc32UpdateSliced(uint32_t reg, const uint8_t* data, size_t size);
// Carry-less multiplication folding (x86 PCLMULQDQ); call it only when
// Crc32HasClmul() is true.
uint32_t Crc32UpdateClmul(uint32_t reg, const uint8_t* data, size_t size);
bool Crc32HasClmul();

// The checksum as shown: upper-case hexadecimal, at least 6 digits; empty for 0
// (the checksum box then keeps its text).
QString ChecksumText(uint32_t crc);

// Extract: the 65,536-byte boot file image cut from the image file at its
// marker, passed through buffer. Raises the stream layer's errors; refuses
// inputs that are not regular files, images larger than the editor can hold
// (2 GiB - 1 bytes) and images that change while they are read. The marker
// search reads the image in chunks: memory stays small whatever its size.
std::unique_ptr<TMPHMemoryStream> ExtractBlock(const QString& imagePath, TBlockBuffer& buffer);

// Insert, in the command's two steps. LoadImageAtMarker loads the image file
// whole and positions it at its marker (the same refusals as ExtractBlock).
std::unique_ptr<TMPHMemoryStream> LoadImageAtMarker(const QString& imagePath);
// Loads the boot file whole; nullptr when its length is not exactly 65,536.
std::unique_ptr<TMPHMemoryStream> LoadBootFile(const QString& bootPath);
// Writes the boot file through buffer into image at image's position; the
// image grows when the block runs past its end.
void InsertBlock(TMPHMemoryStream& image, TMPHMemoryStream& bootFile, TBlockBuffer& buffer);

// Opens a file for reading as the image commands do: regular files only, and
// no file larger than the editor can hold (2 GiB - 1 bytes; positions are
// 32-bit), refused with the editor's own text before anything is read.
std::unique_ptr<TFileStream> OpenImage(const QString& path);

// Extract's guard: raises EFileOpenError ("Cannot write the boot block to
// "TARGET": it is the image itself") when target names the image, also through
// another name (a link, a second path to the same file). Writing the boot
// block there would replace the image by its own block.
void RefuseBlockOverImage(const QString& imagePath, const QString& targetPath);

// Writes the whole stream to path atomically (SaveFileAtomically): a temporary
// file in the target's folder is renamed over the target only after every byte
// reached the disk; targets that are not regular files or are write-protected
// are refused. Raises EFileOpenError / EWriteError naming the path on failure.
void SaveStreamToFile(TMemoryStream& stream, const QString& path);

// What a label shows of ID bytes: the 8-bit text up to the first zero byte.
QString IdLabelText(const QByteArray& bytes);

} // namespace boot
