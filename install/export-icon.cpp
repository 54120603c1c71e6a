// Writes the program's icon as a PNG picture of the given size, for the
// desktop's icon theme: klado-export-icon SIZE FILE.png
#include "gui/WindowIcons.h"

#include <FXPNGImage.h>

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    const int size = argc == 3 ? std::atoi(argv[1]) : 0;
    if (size <= 0) {
        std::cerr << "Usage: klado-export-icon SIZE FILE.png" << std::endl;
        return 2;
    }
    const std::vector<FXColor> picture = WindowIcons::programPicture(size);
    FXFileStream stream;
    const bool written = stream.open(argv[2], FXStreamSave) && fxsavePNG(stream, picture.data(), size, size) &&
                         stream.status() == FXStreamOK && stream.close();
    if (!written) {
        std::cerr << "Could not write " << argv[2] << std::endl;
        return 1;
    }
    return 0;
}
