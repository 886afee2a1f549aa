// The directory reader on a folder tree made by the test.
#include <doctest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/core/DirReader.h"
#include "TestSupport.h"

namespace {

void Touch(const std::string& path) {
    REQUIRE(kvtest::WriteFileBytes(path, {1, 2, 3}));
}

std::string Name(const CString& path) {
    std::string p = (LPCSTR)path;
    return p.substr(p.rfind('\\') + 1);
}

long IndexOf(const std::vector<CString>& list, const std::string& path) {
    for (size_t i = 0; i < list.size(); ++i)
        if (std::string(list[i]) == path) return (long)i;
    return -1;
}

}  // namespace

TEST_CASE("directory reader") {
    std::string root = kvtest::TempDir("dirs");
    CreateDirectoryA((root + "\\A").c_str(), nullptr);
    CreateDirectoryA((root + "\\A\\A1").c_str(), nullptr);
    CreateDirectoryA((root + "\\B").c_str(), nullptr);
    CreateDirectoryA((root + "\\B\\Temporary Internet Files").c_str(), nullptr);
    Touch(root + "\\one.png");
    Touch(root + "\\two.gif");
    Touch(root + "\\root.mp3");
    Touch(root + "\\A\\a.mp3");
    Touch(root + "\\A\\a.png");
    Touch(root + "\\A\\A1\\a1.mp3");
    Touch(root + "\\B\\b.mp3");
    Touch(root + "\\B\\Temporary Internet Files\\cached.png");

    SUBCASE("trailing separators") {
        CString p = "D:\\Pics\\\\";
        StripTrailingSeparators(p);
        CHECK(std::string(p) == "D:\\Pics");
        p = "D:/Pics/";
        StripTrailingSeparators(p);
        CHECK(std::string(p) == "D:/Pics");
        p = "D:\\Pics\\ ";
        StripTrailingSeparators(p);
        CHECK(std::string(p) == "D:\\Pics\\ ");
    }
    SUBCASE("one folder, patterns in list order") {
        CDirReader reader;
        REQUIRE(reader.ScanFolder(CString(root.c_str()) + "\\", "*.png;*.gif"));
        REQUIRE(reader.m_files.size() == 2);
        CHECK(std::string(reader.m_files[0].path) == root + "\\one.png");
        CHECK(std::string(reader.m_files[1].path) == root + "\\two.gif");
        CHECK(reader.m_files[0].size == 3);
        REQUIRE(reader.m_folders.size() == 1);
        CHECK(std::string(reader.m_folders[0]) == root);
    }
    SUBCASE("the MP3 search: folders first, then the files of each") {
        CDirReader reader;
        reader.m_recurse = true;
        reader.ClearDirList();
        REQUIRE(reader.ScanFolder(root.c_str(), ""));
        CHECK(reader.m_files.empty());
        REQUIRE(reader.m_folders.size() == 5);
        CHECK(std::string(reader.m_folders.back()) == root);
        CHECK(IndexOf(reader.m_folders, root + "\\A\\A1") < IndexOf(reader.m_folders, root + "\\A"));
        // Outside the image panel's scan the temporary files folder is walked.
        CHECK(IndexOf(reader.m_folders, root + "\\B\\Temporary Internet Files") >= 0);
        reader.ClearFileList();
        REQUIRE(reader.CollectFiles("*.mp3"));
        REQUIRE(reader.m_files.size() == 4);
        CHECK(Name(reader.m_files.back().path) == "root.mp3");
        std::vector<std::string> names;
        for (auto& f : reader.m_files) names.push_back(Name(f.path));
        auto pos = [&](const char* n) { return std::find(names.begin(), names.end(), n) - names.begin(); };
        CHECK(pos("a1.mp3") < pos("a.mp3"));
    }
    SUBCASE("the image panel's scan collects and skips temporary files") {
        BYTE collect = 1, stop = 0;
        std::vector<std::string> collected;
        CDirReader reader(&stop, &collect);
        reader.m_recurse = true;
        reader.m_onCollect = [&](const CString& name, const CString&, ULONGLONG) {
            collected.push_back((LPCSTR)name);
        };
        REQUIRE(reader.ScanFolder(root.c_str(), "*.png"));
        CHECK(collected.size() == 2);
        CHECK(std::find(collected.begin(), collected.end(), "cached.png") == collected.end());
        CHECK(reader.m_files.size() == 2);
    }
    SUBCASE("a stop request") {
        BYTE stop = 1;
        CDirReader reader(&stop, nullptr);
        reader.m_recurse = true;
        CHECK_FALSE(reader.ScanFolder(root.c_str(), "*.png"));
        CHECK(reader.m_folders.empty());
        // With no file in the root the walk is stopped, but the root still counts.
        CDirReader walker(&stop, nullptr);
        walker.m_recurse = true;
        CHECK(walker.ScanFolder(root.c_str(), "*.none"));
        CHECK(walker.m_folders.size() == 1);
    }
    SUBCASE("a link back to the root is not followed") {
        std::string link = root + "\\A\\loop";
        if (!CreateSymbolicLinkA(link.c_str(), root.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)) {
            MESSAGE("symbolic links cannot be made here; the loop case is not run");
            return;
        }
        CDirReader reader;
        reader.m_recurse = true;
        CHECK(reader.ScanFolder(root.c_str(), "*.mp3"));
        CHECK(reader.m_files.size() == 4);
        CHECK(IndexOf(reader.m_folders, link) < 0);
        RemoveDirectoryA(link.c_str());
    }
    SUBCASE("a missing folder adds nothing") {
        CDirReader reader;
        reader.m_recurse = true;
        CHECK(reader.ScanFolder((root + "\\nothing").c_str(), "*.*"));
        CHECK(reader.m_files.empty());
    }
}
