// The file half of picture loading and bitmap writing; the decoding and encoding are the core's.
#include "platform/picture_files.h"

#include "core/bitmap_writer.h"

namespace tess::platform {

Result<PictureFile> ReadPictureFile(platform::Files& files, const std::string& path) {
    if (path.empty())
        return PictureFile{};
    Result<std::vector<uint8_t>> bytes = files.ReadWholeFile(path, kMaxPictureFileBytes);
    if (!bytes) {
        if (bytes.error().code != ErrorCode::FileTooLarge)
            return bytes.error();
        return Error{ErrorCode::PictureTooLarge,
                     "The picture file is too large: " + path + " (more than " +
                         std::to_string(kMaxPictureFileBytes / (1024 * 1024)) + " MB)"};
    }
    PictureFile file{std::move(bytes).value(), {}};
    Result<PictureSize> size = InspectPicture(file.bytes.data(), file.bytes.size());
    if (!size)
        return size.error();
    file.size = size.value();
    return file;
}

Result<Picture> DecodePictureFile(const PictureFile& file) {
    if (file.bytes.empty())
        return Picture();
    return DecodePicture(file.bytes.data(), file.bytes.size());
}

Result<Picture> LoadPicture(platform::Files& files, const std::string& path) {
    Result<PictureFile> file = ReadPictureFile(files, path);
    if (!file)
        return file.error();
    return DecodePictureFile(file.value());
}

Status WriteBitmap(platform::Files& files, const Surface& surface, const std::string& path) {
    return files.WriteFileReplacing(path, EncodeBitmap(surface));
}

} // namespace tess::platform
