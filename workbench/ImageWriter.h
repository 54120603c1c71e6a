#pragma once
// Writes a rendered image to a file; the file name's extension chooses the
// format.

#include <osg/Image>

#include <functional>
#include <string>

// The extension of a file name: what follows the last "." of its file part,
// in lower case; empty when there is none.
std::string lowerExtension(const std::string& fileName);

// Runs a writer of the file and tells whether it really wrote: it must have
// reported success and left a non-empty file that is new or changed. Some
// writers of the scene-graph library report success without writing.
bool writesFile(const std::string& fileName, const std::function<bool()>& write);

// gif, bmp, xpm, pcx, ico, cur, tga, rgb and xbm go through the toolkit's own
// writers, every other extension through the scene-graph library's writers.
// True only when the file was written and is not empty.
bool writeImage(const osg::Image& image, const std::string& fileName);
