// The template library of the view with settings, data and program folders of its own: which
// file it takes, when it merges the templates that come with the program, when it writes
// templates.ini, and that a failed write keeps the old library.
#include <doctest.h>

#include <string>

#include "CanvasFixture.h"
#include "TestSupport.h"
#include "canvas/ViewSettings.h"
#include "model/DocumentSamples.h"

namespace {

struct Folders {
    std::string settings, data, program;
    explicit Folders(const char* name) {
        const std::string root = kvtest::TempDir(name);
        settings = root + "\\settings";
        data = root + "\\data";
        program = root + "\\program";
        ::CreateDirectoryA(settings.c_str(), nullptr);
        ::CreateDirectoryA(data.c_str(), nullptr);
        ::CreateDirectoryA(program.c_str(), nullptr);
        g_settingsFolder = settings.c_str();
        g_dataFolder = data.c_str();
        g_programFolder = program.c_str();
        g_defaultTemplateNames[0].Empty();
        g_defaultTemplateNames[1].Empty();
    }
};

// A library file holding the built-in templates and one more of the given name.
void WriteLibrary(const std::string& path, const char* extra) {
    KorvanelleDocument lib;
    lib.CreateBuiltInTemplates();
    LabelTemplate* copy = new LabelTemplate(lib.templates[0], false);
    copy->name = extra;
    lib.AddTemplate(copy);
    CFile file;
    REQUIRE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
    lib.Save(&file);
    file.Close();
    lib.DeleteContents(true);
}

int Count(View& v, const char* name) {
    int n = 0;
    for (INT_PTR i = 0; i < v.m_templates.templates.GetSize(); ++i)
        n += v.m_templates.templates[i]->name == name;
    return n;
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST_CASE("first run: the program folder's library is taken without a merge and written to the settings") {
    Folders f("templates-first");
    g_settingsVersion = 0;
    WriteLibrary(f.program + "\\templates.ini", "Program Stock");
    WriteLibrary(f.data + "\\templatesNew.ini", "New Stock");
    View v;
    v.LoadTemplates();
    CHECK(Count(v, "Program Stock") == 1);
    CHECK(Count(v, "New Stock") == 0);
    REQUIRE(Exists(f.settings + "\\templates.ini"));
    KorvanelleDocument written;
    REQUIRE(written.OpenDocumentFile((f.settings + "\\templates.ini").c_str()));
    CHECK(written.FindTemplate("Program Stock") != nullptr);
    written.DeleteContents(true);
    CHECK_FALSE(g_defaultTemplateNames[0].IsEmpty());
    CHECK_FALSE(g_defaultTemplateNames[1].IsEmpty());
}

TEST_CASE("the settings' own library is read and, with nothing new, not written") {
    Folders f("templates-own");
    g_settingsVersion = 507;
    WriteLibrary(f.settings + "\\templates.ini", "Mine");
    const std::vector<unsigned char> before = kvtest::ReadFileBytes(f.settings + "\\templates.ini");
    WriteLibrary(f.data + "\\templatesNew.ini", "New Stock");
    View v;
    v.LoadTemplates();
    CHECK(Count(v, "Mine") == 1);
    CHECK(Count(v, "New Stock") == 0);
    CHECK(kvtest::ReadFileBytes(f.settings + "\\templates.ini") == before);
}

TEST_CASE("settings of an earlier version take the new templates and write the library") {
    Folders f("templates-update");
    g_settingsVersion = 446;
    WriteLibrary(f.settings + "\\templates.ini", "Old Stock");
    WriteLibrary(f.program + "\\templatesNew.ini", "New Stock");
    View v;
    v.LoadTemplates();
    CHECK(Count(v, "Old Stock") == 1);
    CHECK(Count(v, "New Stock") == 1);
    KorvanelleDocument written;
    REQUIRE(written.OpenDocumentFile((f.settings + "\\templates.ini").c_str()));
    CHECK(written.FindTemplate("New Stock") != nullptr);
    written.DeleteContents(true);
}

TEST_CASE(
    "a library from labels.ini always takes the new templates; templatesNew.ini never merges with itself") {
    {
        Folders f("templates-labels");
        g_settingsVersion = 507;
        kvtest::WriteFileBytes(f.settings + "\\labels.ini",
                               docsample::LabelsIni(docsample::ThreeStocks(5500), "1,0\r\n"));
        WriteLibrary(f.data + "\\templatesNew.ini", "New Stock");
        View v;
        v.LoadTemplates();
        CHECK(Count(v, "Jewel Stock") == 1);
        CHECK(Count(v, "New Stock") == 1);
        CHECK(Exists(f.settings + "\\templates.ini"));
    }
    {
        Folders f("templates-new-only");
        g_settingsVersion = 446;
        WriteLibrary(f.program + "\\templatesNew.ini", "New Stock");
        View v;
        v.LoadTemplates();
        CHECK(Count(v, "New Stock") == 1);
        // Nothing stands twice: the library was not merged into itself.
        REQUIRE(v.m_templates.templates.GetSize() > 1);
        for (INT_PTR i = 0; i < v.m_templates.templates.GetSize(); ++i) {
            CAPTURE(i);
            CHECK(Count(v, v.m_templates.templates[i]->name) == 1);
        }
    }
}

TEST_CASE("an unreadable candidate is skipped; no file at all leaves the built-in templates unwritten") {
    {
        Folders f("templates-damaged");
        g_settingsVersion = 507;
        kvtest::WriteFileBytes(f.settings + "\\templates.ini", {1, 2, 3, 4, 5, 6, 7, 8, 9});
        WriteLibrary(f.data + "\\templates.ini", "Data Stock");
        View v;
        v.LoadTemplates();
        CHECK(Count(v, "Data Stock") == 1);
        // The damaged file was replaced by the library.
        KorvanelleDocument written;
        CHECK(written.OpenDocumentFile((f.settings + "\\templates.ini").c_str()));
        written.DeleteContents(true);
    }
    {
        Folders f("templates-none");
        View v;
        v.LoadTemplates();
        CHECK(v.m_templates.templates.GetSize() >= 4);  // the built-in ones
        CHECK_FALSE(Exists(f.settings + "\\templates.ini"));
    }
}

TEST_CASE("a write that fails keeps the old library file and says so") {
    Folders f("templates-write");
    g_settingsVersion = 507;
    WriteLibrary(f.settings + "\\templates.ini", "Mine");
    const std::vector<unsigned char> before = kvtest::ReadFileBytes(f.settings + "\\templates.ini");
    View v;
    v.LoadTemplates();
    // Something in the way of the new file: a folder of its name.
    ::CreateDirectoryA((f.settings + "\\templates.ini.new").c_str(), nullptr);
    KvMessageBoxCapture boxes;
    v.SaveTemplates();
    CHECK(boxes.LastText() ==
          ("Error saving the label template file:\r\n\r\n" + f.settings + "\\templates.ini").c_str());
    CHECK(kvtest::ReadFileBytes(f.settings + "\\templates.ini") == before);
    ::RemoveDirectoryA((f.settings + "\\templates.ini.new").c_str());
    // And a write that can go through replaces it whole.
    LabelTemplate* extra = new LabelTemplate(v.m_templates.templates[0], false);
    extra->name = "Added";
    v.m_templates.AddTemplate(extra);
    v.SaveTemplates();
    KorvanelleDocument written;
    REQUIRE(written.OpenDocumentFile((f.settings + "\\templates.ini").c_str()));
    CHECK(written.FindTemplate("Added") != nullptr);
    written.DeleteContents(true);
    CHECK_FALSE(Exists(f.settings + "\\templates.ini.new"));
}
