#include "workbench/ImageWriter.h"

#include <fx.h>
#include <osgDB/Registry>
#include <osgDB/WriteFile>

#include <algorithm>
#include <cctype>
#include <sys/stat.h>
#include <vector>

std::string lowerExtension(const std::string& fileName) {
    std::string::size_type slash = fileName.find_last_of('/');
    std::string file = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    std::string::size_type dot = file.find_last_of('.');
    if (dot == std::string::npos) return std::string();
    std::string extension = file.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

namespace {

// The image as the toolkit's colour array: top row first, RGBA packed.
std::vector<FXColor> toolkitPixels(const osg::Image& image) {
    const int width = image.s();
    const int height = image.t();
    const bool hasAlpha = image.getPixelFormat() == GL_RGBA;
    std::vector<FXColor> pixels(static_cast<size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        // The scene-graph image starts with its bottom row.
        const unsigned char* source = image.data(0, height - 1 - row);
        FXColor* target = &pixels[static_cast<size_t>(row) * width];
        for (int column = 0; column < width; ++column) {
            const unsigned char* p = source + column * (hasAlpha ? 4 : 3);
            target[column] = FXRGBA(p[0], p[1], p[2], hasAlpha ? p[3] : 255);
        }
    }
    return pixels;
}

bool writeWithToolkit(const osg::Image& image, const std::string& fileName, const std::string& extension) {
    std::vector<FXColor> pixels = toolkitPixels(image);
    FXFileStream stream;
    if (!stream.open(fileName.c_str(), FXStreamSave, 8192)) return false;
    const FXColor* data = pixels.data();
    const FXint width = image.s();
    const FXint height = image.t();
    bool written = false;
    if (extension == "gif")
        written = fxsaveGIF(stream, data, width, height);
    else if (extension == "bmp")
        written = fxsaveBMP(stream, data, width, height);
    else if (extension == "xpm")
        written = fxsaveXPM(stream, data, width, height, true);
    else if (extension == "pcx")
        written = fxsavePCX(stream, data, width, height);
    else if (extension == "ico" || extension == "cur")
        written = fxsaveICO(stream, data, width, height, -1, -1);
    else if (extension == "tga")
        written = fxsaveTGA(stream, data, width, height);
    else if (extension == "rgb")
        written = fxsaveRGB(stream, data, width, height);
    else if (extension == "xbm")
        written = fxsaveXBM(stream, data, width, height, -1, -1);
    // Closing flushes the buffer; a failed flush is a failed write.
    const bool closed = stream.close();
    return written && closed;
}

} // namespace

bool writesFile(const std::string& fileName, const std::function<bool()>& write) {
    struct stat before;
    const bool existed = stat(fileName.c_str(), &before) == 0;
    if (!write()) return false;
    struct stat after;
    if (stat(fileName.c_str(), &after) != 0 || !S_ISREG(after.st_mode) || after.st_size == 0) return false;
    return !existed || after.st_mtim.tv_sec != before.st_mtim.tv_sec ||
           after.st_mtim.tv_nsec != before.st_mtim.tv_nsec || after.st_size != before.st_size ||
           after.st_ino != before.st_ino;
}

bool writeImage(const osg::Image& image, const std::string& fileName) {
    static const char* const toolkitFormats[] = {"gif", "bmp", "xpm", "pcx", "ico", "cur", "tga", "rgb", "xbm"};
    const std::string extension = lowerExtension(fileName);
    return writesFile(fileName, [&] {
        if (std::find(std::begin(toolkitFormats), std::end(toolkitFormats), extension) != std::end(toolkitFormats))
            return writeWithToolkit(image, fileName, extension);
        return osgDB::writeImageFile(image, fileName, osgDB::Registry::instance()->getOptions());
    });
}
