#include "workbench/ImageWriter.h"

#include "diagnostics/Exceptions.h"
#include "diagnostics/FileText.h"
#include "diagnostics/UnfinishedFiles.h"

#include <fx.h>
#include <osgDB/Registry>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <list>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

const char* const toolkitFormats[] = {"gif", "bmp", "xpm", "pcx", "ico", "cur", "tga", "rgb", "xbm"};

bool isToolkitFormat(const std::string& extension) {
    return std::find(std::begin(toolkitFormats), std::end(toolkitFormats), extension) != std::end(toolkitFormats);
}

// The largest icon and cursor the icon format's one-byte size fields hold.
constexpr int largestIcon = 256;

// One file to write: its name and its bytes.
using Output = std::pair<std::string, std::string>;

// Writes every file beside its target first and replaces the targets only
// when all were written completely. A target written straight through (a
// device, a pipe) takes the first file alone: its companions would only land
// beside the device.
std::string writeOutputs(const std::vector<Output>& outputs) {
    std::list<OutputFile> files;
    try {
        for (const Output& output : outputs) {
            if (!files.empty() && files.front().isSpecial()) break;
            files.emplace_back(output.first);
            files.back().write(output.second);
        }
        for (OutputFile& file : files) file.commit();
    } catch (const FileError& error) {
        return error.reason();
    }
    return std::string();
}

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

bool encodeWithToolkit(const osg::Image& image, const std::string& extension, std::string& bytes) {
    std::vector<FXColor> pixels = toolkitPixels(image);
    const FXColor* data = pixels.data();
    const FXint width = image.s();
    const FXint height = image.t();
    FXMemoryStream stream;
    if (!stream.open(FXStreamSave, nullptr)) return false;
    // Room for the largest of these encodings up front: the stream grows in
    // small steps, each a copy of all it holds.
    stream.setSpace(static_cast<FXuval>(width) * height * 5 + 65536);
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
    written = written && stream.status() == FXStreamOK;
    const FXlong size = stream.position();
    FXuchar* buffer = nullptr;
    FXuval capacity = 0;
    stream.takeBuffer(buffer, capacity);
    stream.close();
    written = written && buffer != nullptr;
    if (written) bytes.assign(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(size));
    std::free(buffer);
    return written;
}

// A named pipe the writer writes into as if it were a file, and a thread
// that collects what comes out of it.
class Pipe {
public:
    explicit Pipe(const std::string& path) : myPath(path) {
        {
            UnfinishedFiles::SignalBlock block;
            if (::mkfifo(path.c_str(), 0600) != 0) return;
            UnfinishedFiles::add(path);
        }
        // Holding a write end of our own keeps the reader from seeing the
        // end before the writer has even opened the pipe.
        myRead = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (myRead >= 0) myWrite = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (myWrite < 0) return;
        ::fcntl(myRead, F_SETFL, ::fcntl(myRead, F_GETFL) & ~O_NONBLOCK);
        myReader = std::thread([this] {
            char buffer[65536];
            ssize_t count;
            while ((count = ::read(myRead, buffer, sizeof buffer)) != 0) {
                if (count > 0)
                    myBytes.append(buffer, static_cast<std::size_t>(count));
                else if (errno != EINTR)
                    break;
            }
        });
    }
    ~Pipe() {
        finish();
        ::unlink(myPath.c_str());
        UnfinishedFiles::forget(myPath);
    }
    bool valid() const { return myReader.joinable(); }
    // Waits for the writer to close the pipe; then the bytes are complete.
    const std::string& finish() {
        if (myWrite >= 0) ::close(myWrite);
        myWrite = -1;
        if (myReader.joinable()) myReader.join();
        if (myRead >= 0) ::close(myRead);
        myRead = -1;
        return myBytes;
    }

private:
    std::string myPath;
    int myRead = -1;
    int myWrite = -1;
    std::thread myReader;
    std::string myBytes;
};

// Lets a writer that only writes to named files write into memory: the file
// and its companions are named pipes in a private folder beside the target.
std::string captureFiles(const std::string& fileName, const std::vector<std::string>& companionExtensions,
                         const std::function<bool(const std::string&)>& write, std::vector<Output>& outputs) {
    const std::string::size_type slash = fileName.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
    const std::string file = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    const std::string::size_type dot = file.find_last_of('.');
    const std::string stem = dot == std::string::npos ? file : file.substr(0, dot);

    // Beside the target; for a target that is no regular file (a device, a
    // pipe) in the folder of temporary files instead.
    const std::string problem = outputProblem(fileName);
    if (!problem.empty()) return problem;
    struct stat info;
    const bool special = ::stat(fileName.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
    std::error_code noTemporaryFolder;
    const std::string privateParent =
        special ? std::filesystem::temp_directory_path(noTemporaryFolder).string() + "/" : folder;
    UnfinishedFiles::clearStale(privateParent);
    std::string privateFolder = UnfinishedFiles::temporaryTemplate(privateParent);
    {
        UnfinishedFiles::SignalBlock block;
        if (!::mkdtemp(&privateFolder[0]))
            return "The folder '" + (privateParent.empty() ? std::string(".") : privateParent) +
                   "' cannot be written to.";
        UnfinishedFiles::add(privateFolder);
    }
    std::string failure;
    {
        std::list<Pipe> pipes;
        pipes.emplace_back(privateFolder + "/" + file);
        for (const std::string& extension : companionExtensions)
            pipes.emplace_back(privateFolder + "/" + stem + "." + extension);
        if (std::all_of(pipes.begin(), pipes.end(), [](const Pipe& pipe) { return pipe.valid(); })) {
            const bool written = write(privateFolder + "/" + file);
            auto pipe = pipes.begin();
            outputs.emplace_back(fileName, pipe->finish());
            for (const std::string& extension : companionExtensions) {
                const std::string& bytes = (++pipe)->finish();
                // A companion the writer did not write is not made.
                if (!bytes.empty()) outputs.emplace_back(folder + stem + "." + extension, bytes);
            }
            if (!written || outputs.front().second.empty()) failure = "The writer failed.";
        } else {
            failure =
                "The folder '" + (privateParent.empty() ? std::string(".") : privateParent) + "' cannot be written to.";
        }
    }
    // Whatever else the writer left in the private folder goes with it.
    std::error_code ignored;
    std::filesystem::remove_all(privateFolder, ignored);
    UnfinishedFiles::forget(privateFolder);
    return failure;
}

} // namespace

std::string lowerExtension(const std::string& fileName) {
    std::string::size_type slash = fileName.find_last_of('/');
    std::string file = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    std::string::size_type dot = file.find_last_of('.');
    if (dot == std::string::npos) return std::string();
    std::string extension = file.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == "jpeg" ? "jpg" : extension;
}

std::string imageProblem(const std::string& fileName, int width, int height) {
    const std::string extension = lowerExtension(fileName);
    if (width <= 0 || height <= 0) return "The image needs a width and a height of at least 1 pixel.";
    if ((extension == "ico" || extension == "cur") && (width > largestIcon || height > largestIcon))
        return "Icons and cursors hold at most " + std::to_string(largestIcon) + " x " + std::to_string(largestIcon) +
               " pixels.";
    if (!isToolkitFormat(extension) && !osgDB::Registry::instance()->getReaderWriterForExtension(extension))
        return "There is no image writer for the extension '" + extension + "'.";
    return outputProblem(fileName);
}

std::string writeImage(const osg::Image& image, const std::string& fileName) {
    const std::string extension = lowerExtension(fileName);
    std::string problem = imageProblem(fileName, image.s(), image.t());
    if (!problem.empty()) return problem;
    std::vector<Output> outputs;
    if (isToolkitFormat(extension)) {
        std::string bytes;
        if (!encodeWithToolkit(image, extension, bytes)) return "The image writer failed.";
        outputs.emplace_back(fileName, std::move(bytes));
    } else {
        osgDB::ReaderWriter* writer = osgDB::Registry::instance()->getReaderWriterForExtension(extension);
        const osgDB::Options* options = osgDB::Registry::instance()->getOptions();
        std::ostringstream stream;
        const osgDB::ReaderWriter::WriteResult result = writer->writeImage(image, stream, options);
        if (result.success()) {
            outputs.emplace_back(fileName, stream.str());
        } else if (result.status() == osgDB::ReaderWriter::WriteResult::NOT_IMPLEMENTED ||
                   result.status() == osgDB::ReaderWriter::WriteResult::FILE_NOT_HANDLED) {
            problem = captureFiles(
                fileName, {},
                [&](const std::string& name) { return writer->writeImage(image, name, options).success(); }, outputs);
        } else {
            problem = "The image writer failed.";
        }
        if (problem.empty() && outputs.front().second.empty()) problem = "The image writer wrote nothing.";
    }
    return problem.empty() ? writeOutputs(outputs) : problem;
}

std::string writeNode(const osg::Node& node, const std::string& fileName) {
    const std::string extension = lowerExtension(fileName);
    osgDB::ReaderWriter* writer = osgDB::Registry::instance()->getReaderWriterForExtension(extension);
    if (!writer) return "There is no object writer for the extension '" + extension + "'.";
    const std::string refused = outputProblem(fileName);
    if (!refused.empty()) return refused;
    // Without a file name the native writer cannot tell its text forms from
    // the binary one.
    osg::ref_ptr<osgDB::Options> options = osgDB::Registry::instance()->getOptions()
                                               ? osgDB::Registry::instance()->getOptions()->cloneOptions()
                                               : new osgDB::Options;
    if (extension == "osgt") options->setPluginStringData("fileType", "Ascii");
    if (extension == "osgx") options->setPluginStringData("fileType", "XML");
    std::vector<Output> outputs;
    std::string problem;
    // The object writer writes its materials only when it writes a named file.
    const bool namedFileOnly = extension == "obj";
    osgDB::ReaderWriter::WriteResult result(osgDB::ReaderWriter::WriteResult::NOT_IMPLEMENTED);
    std::ostringstream stream;
    if (!namedFileOnly) result = writer->writeNode(node, stream, options.get());
    if (result.success()) {
        outputs.emplace_back(fileName, stream.str());
    } else if (result.status() == osgDB::ReaderWriter::WriteResult::NOT_IMPLEMENTED ||
               result.status() == osgDB::ReaderWriter::WriteResult::FILE_NOT_HANDLED) {
        const std::vector<std::string> companions =
            namedFileOnly ? std::vector<std::string>{"mtl"} : std::vector<std::string>{};
        problem = captureFiles(
            fileName, companions,
            [&](const std::string& name) { return writer->writeNode(node, name, options.get()).success(); }, outputs);
    } else {
        problem = "The object writer failed.";
    }
    if (problem.empty() && outputs.front().second.empty()) problem = "The object writer wrote nothing.";
    return problem.empty() ? writeOutputs(outputs) : problem;
}
