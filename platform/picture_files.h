// Pictures to and from files through the file system: a picture file read and decoded, a surface
// written as a Windows bitmap that replaces an existing file only once it is complete.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/picture.h"
#include "core/picture_loader.h"
#include "core/result.h"
#include "core/surface.h"
#include "platform/files.h"

namespace tess::platform {

// Reads and decodes a picture file. The empty path gives the empty picture. Errors: FileNotFound
// (the path names nothing), CannotOpen (a folder, not a regular file, no permission, a read
// error), PictureTooLarge (a file over kMaxPictureFileBytes, refused from its size before it is
// read, or a picture over the pixel limits), NotAPicture (empty, or not one of the three
// formats), CorruptPicture (truncated, damaged or using something unsupported, such as a JPEG
// inside a bitmap), OutOfMemory.
Result<Picture> LoadPicture(platform::Files& files, const std::string& path);

// A picture file read whole, with the size its header announces, so that a caller can refuse the
// picture by its size before it is decoded.
struct PictureFile {
    std::vector<uint8_t> bytes;
    PictureSize size;
};

// Reads a picture file and inspects its header: LoadPicture's errors for the file and the header.
// The empty path gives no bytes and the size 0 x 0.
Result<PictureFile> ReadPictureFile(platform::Files& files, const std::string& path);

// Decodes what ReadPictureFile read: no bytes give the empty picture.
Result<Picture> DecodePictureFile(const PictureFile& file);

// Writes the surface as a bitmap file at `path`; a failed write leaves an existing file as it
// was. Every failure is returned.
Status WriteBitmap(platform::Files& files, const Surface& surface, const std::string& path);

} // namespace tess::platform
