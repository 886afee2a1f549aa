// A generated folder of images for the image panel's tests and benchmark: PNG, JPEG, BMP and GIF
// files of many sizes, some corrupt files, a few huge images, files that are no images, and
// sub-folders. Made once per test folder (a marker file says it is complete).
#pragma once

#include <string>
#include <vector>

namespace kvtest {

struct ImageFolderInfo {
    std::string root;                    // the folder (Windows path, no trailing separator)
    std::vector<std::string> rootFiles;  // the image files directly in the root (names)
    std::vector<std::string> allImages;  // every image file, with its path relative to the root
    std::vector<std::string> corrupt;    // relative paths of the corrupt image files
    int pngInRoot = 0;
};

// Makes (or reuses) the folder `name` below the working folder with `count` image files in all.
ImageFolderInfo MakeImageFolder(const std::string& name, int count);

// The image files of `info` that a scan with those patterns would find (relative paths), root
// only or with the sub-folders.
std::vector<std::string> ExpectedImages(const ImageFolderInfo& info,
                                        const std::vector<std::string>& extensions, bool subfolders);

}  // namespace kvtest
