// The file half of picture loading and bitmap writing; the decoding and encoding are the core's.
#include "platform/picture_files.h"

#include "core/bitmap_writer.h"
#include "core/picture_loader.h"

namespace tess {

Result<Picture> LoadPicture(platform::FileSystem& files, const std::string& path) {
    if (path.empty())
        return Picture();
    Result<std::vector<uint8_t>> bytes = files.ReadWholeFile(path, kMaxPictureFileBytes);
    if (!bytes) {
        if (bytes.error().code != ErrorCode::FileTooLarge)
            return bytes.error();
        return Error{ErrorCode::PictureTooLarge,
                     "The picture file is too large: " + path + " (more than " +
                         std::to_string(kMaxPictureFileBytes / (1024 * 1024)) + " MB)"};
    }
    return DecodePicture(bytes.value().data(), bytes.value().size());
}

Status WriteBitmap(platform::FileSystem& files, const Surface& surface, const std::string& path) {
    return files.WriteFileReplacing(path, EncodeBitmap(surface));
}

} // namespace tess
