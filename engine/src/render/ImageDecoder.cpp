#include "render/ImageDecoder.h"

#include "platform/ImageCodec.h"
#include "render/ImageStructure.h"

#include <fstream>
#include <new>
#include <system_error>
#include <utility>

namespace Marrowvane
{

ImageDecodeStatus CheckImageSize(std::uint32_t width, std::uint32_t height)
{
    if (width == 0 || height == 0)
    {
        return ImageDecodeStatus::EmptyImage;
    }
    if (width > maxImageSide || height > maxImageSide ||
        std::uint64_t{width} * std::uint64_t{height} > maxImagePixels)
    {
        return ImageDecodeStatus::ImageTooLarge;
    }
    return ImageDecodeStatus::Decoded;
}

ImageDecodeResult DecodeImageBytes(std::span<const std::uint8_t> file, PixelDecoder decoder)
{
    ImageDecodeResult result;
    if (file.size() > maxImageFileBytes)
    {
        result.status = ImageDecodeStatus::FileTooLarge;
        return result;
    }
    if (!SniffImageFormat(file))
    {
        result.status = ImageDecodeStatus::UnknownFormat;
        return result;
    }
    const std::optional<ImageHeader> header = ReadImageHeader(file);
    if (!header)
    {
        result.status = ImageDecodeStatus::BadHeader;
        return result;
    }
    result.status = CheckImageSize(header->width, header->height);
    if (result.status != ImageDecodeStatus::Decoded)
    {
        return result;
    }
    if (!CheckImageStructure(*header, file))
    {
        result.status = ImageDecodeStatus::Malformed;
        return result;
    }
    try
    {
        std::vector<std::uint32_t> pixels;
        if (!(decoder != nullptr ? decoder : DecodeImagePixels)(*header, file, pixels) ||
            pixels.size() != std::size_t{header->width} * std::size_t{header->height})
        {
            result.status = ImageDecodeStatus::DecodeFailed;
            return result;
        }
        result.image.emplace(static_cast<std::int32_t>(header->width),
                             static_cast<std::int32_t>(header->height), std::move(pixels));
    }
    catch (const std::bad_alloc&)
    {
        result.image.reset();
        result.status = ImageDecodeStatus::DecodeFailed;
    }
    return result;
}

ImageDecodeResult DecodeImageFile(const std::filesystem::path& path)
{
    ImageDecodeResult result;
    // Only a regular file is opened: a directory reads as nothing, and a pipe
    // or a device could block or never end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) || error)
    {
        result.status = ImageDecodeStatus::NotARegularFile;
        return result;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
    {
        result.status = ImageDecodeStatus::ReadFailed;
        return result;
    }
    if (size > maxImageFileBytes)
    {
        result.status = ImageDecodeStatus::FileTooLarge;
        return result;
    }
    std::vector<std::uint8_t> bytes;
    try
    {
        std::ifstream stream(path, std::ios::in | std::ios::binary);
        if (!stream.is_open())
        {
            result.status = ImageDecodeStatus::ReadFailed;
            return result;
        }
        // Ask for one byte more than measured: a file that grows while it is
        // read is refused rather than cut or read past the limit.
        bytes.resize(static_cast<std::size_t>(size) + 1);
        stream.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (stream.bad() || static_cast<std::uintmax_t>(stream.gcount()) != size)
        {
            result.status = ImageDecodeStatus::ReadFailed;
            return result;
        }
        bytes.resize(static_cast<std::size_t>(size));
    }
    catch (const std::exception&)
    {
        result.status = ImageDecodeStatus::ReadFailed;
        return result;
    }
    return DecodeImageBytes(bytes, nullptr);
}

} // namespace Marrowvane
