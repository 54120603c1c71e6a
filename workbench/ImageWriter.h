#pragma once
// Writes rendered images and scenes to files. The file name's extension
// chooses the format. Every file is first encoded in memory, then written
// beside its target with checked writes and renamed over it, so a failed or
// interrupted write leaves the old file exactly as it was and nothing else.

#include <osg/Image>
#include <osg/Node>

#include <string>

// The extension of a file name: what follows the last "." of its file part,
// in lower case, "jpeg" given as "jpg"; empty when there is none.
std::string lowerExtension(const std::string& fileName);

// Why an image of that size cannot be written to the file, checked before
// anything is rendered or touched; empty when it can.
std::string imageProblem(const std::string& fileName, int width, int height);

// gif, bmp, xpm, pcx, ico, cur, tga, rgb and xbm go through the toolkit's own
// writers, every other extension through the scene-graph library's writers.
// Returns why the file was not written; empty on success.
std::string writeImage(const osg::Image& image, const std::string& fileName);

// Writes the scene with the scene-graph library's object writers, with any
// companion file the writer makes (the material file of "obj"). Returns why
// the files were not written; empty on success.
std::string writeNode(const osg::Node& node, const std::string& fileName);
