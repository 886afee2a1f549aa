// Whole-file writing: the target is replaced only by a complete, flushed file, and every failure
// leaves it as it was with no temporary file behind.
#include <doctest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Core.h"
#include "framework/core/WholeFileWrite.h"
#include "TestSupport.h"

namespace {

using Bytes = std::vector<unsigned char>;

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST_CASE("a whole-file write replaces the target only when it is complete") {
    const std::string folder = kvtest::TempDir("whole-file");
    const std::string target = folder + "\\data.ini";
    const std::string temporary = target + ".new";
    REQUIRE(kvtest::WriteFileBytes(target, {'o', 'l', 'd'}));
    auto writeNew = [](CFile& file) {
        file.Write("new", 3);
        return true;
    };

    SUBCASE("written: the new bytes in place, no temporary file left") {
        CHECK(WriteFileWhole(target.c_str(), writeNew));
        CHECK(kvtest::ReadFileBytes(target) == Bytes{'n', 'e', 'w'});
        CHECK_FALSE(Exists(temporary));
    }
    SUBCASE("a writer that gives up or throws leaves the old file") {
        CHECK_FALSE(WriteFileWhole(target.c_str(), [](CFile& file) {
            file.Write("cut", 3);
            return false;
        }));
        CHECK(kvtest::ReadFileBytes(target) == Bytes{'o', 'l', 'd'});
        CHECK_FALSE(Exists(temporary));
        // A write that fails (a full disk) is a false with its cause; another exception goes on.
        CHECK_FALSE(WriteFileWhole(target.c_str(), [](CFile& file) -> bool {
            file.Write("cut", 3);
            AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, "data.ini");
        }));
        CHECK(::GetLastError() == ERROR_DISK_FULL);
        CHECK(kvtest::ReadFileBytes(target) == Bytes{'o', 'l', 'd'});
        CHECK_FALSE(Exists(temporary));
        bool thrown = false;
        try {
            WriteFileWhole(target.c_str(), [](CFile& file) -> bool {
                file.Write("cut", 3);
                throw std::runtime_error("gave up");
            });
        } catch (const std::runtime_error&) {
            thrown = true;
        }
        CHECK(thrown);
        CHECK(kvtest::ReadFileBytes(target) == Bytes{'o', 'l', 'd'});
        CHECK_FALSE(Exists(temporary));
    }
    SUBCASE("a temporary file that cannot be made: nothing written, the cause reported") {
        const std::string blocked = folder + "\\blocked.new";
        REQUIRE(::CreateDirectoryA(blocked.c_str(), nullptr));
        bool called = false;
        CHECK_FALSE(WriteFileWhole(target.c_str(), blocked.c_str(), [&](CFile&) { return called = true; }));
        CHECK(::GetLastError() != 0);
        CHECK_FALSE(called);
        CHECK(kvtest::ReadFileBytes(target) == Bytes{'o', 'l', 'd'});
        ::RemoveDirectoryA(blocked.c_str());
    }
    SUBCASE("a target that cannot be replaced stays, the cause reported, the temporary file gone") {
        const std::string taken = folder + "\\taken.ini";
        REQUIRE(::CreateDirectoryA(taken.c_str(), nullptr));
        CHECK_FALSE(WriteFileWhole(taken.c_str(), writeNew));
        CHECK(::GetLastError() != 0);
        CHECK((::GetFileAttributesA(taken.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0);
        CHECK_FALSE(Exists(taken + ".new"));
        ::RemoveDirectoryA(taken.c_str());
    }
    SUBCASE("a writer that makes the file by name itself") {
        const std::string part = target + ".part";
        CHECK(WriteNamedFileWhole(target.c_str(), part.c_str(), [](const CString& name) {
            return kvtest::WriteFileBytes(name.GetString(), {'p', 'n', 'g'});
        }));
        CHECK(kvtest::ReadFileBytes(target) == Bytes{'p', 'n', 'g'});
        CHECK_FALSE(Exists(part));
        // A writer that fails half-way, and one that claims success without making the file.
        CHECK_FALSE(WriteNamedFileWhole(target.c_str(), part.c_str(), [](const CString& name) {
            kvtest::WriteFileBytes(name.GetString(), {'c'});
            return false;
        }));
        CHECK_FALSE(WriteNamedFileWhole(target.c_str(), part.c_str(), [](const CString&) { return true; }));
        CHECK(kvtest::ReadFileBytes(target) == Bytes{'p', 'n', 'g'});
        CHECK_FALSE(Exists(part));
    }
}
