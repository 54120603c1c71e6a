#pragma once
// The interactive half of the exports: the file dialogs with the formats the
// program can really write, the rule that gives a typed name its extension,
// the overwrite question and the image size, with the last choices kept in
// the settings ("ImgExport": imgdir, imgtype, imgwidth, imgheight;
// "SETTINGS": objdir).

#include <fx.h>

#include <string>

// The toolkit's pattern lists, one format per line.
extern const char* const imagePatternList;
extern const char* const objectPatternList;

// The name to write for a name chosen in a file dialog: kept when its
// extension (after the last "." of the file part) is offered in the pattern
// list, compared case-sensitively; otherwise the current pattern's extension
// is appended.
std::string exportFileName(const std::string& chosen, const std::string& patternList,
                           const std::string& currentPattern);

// Asks for the image file and its size; false when the user cancels at any
// point.
bool askImageExport(FXWindow* owner, FXRegistry& settings, std::string& fileName, int& width, int& height);
// Asks for the size only, preset from and stored in the settings.
bool askImageSize(FXWindow* owner, FXRegistry& settings, int& width, int& height);
// Asks for the object file.
bool askObjectExport(FXWindow* owner, FXRegistry& settings, std::string& fileName);
