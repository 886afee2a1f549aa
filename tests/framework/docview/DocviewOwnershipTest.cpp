// Handles the document/view layer holds for a while: the screen DC of a drag, the printer job of
// the print loop, and the preview DC standing in for a printer DC.
#include <doctest.h>

#include <stdexcept>
#include <vector>

#include "framework/DocView.h"
#include "framework/Win.h"
#include "TestSupport.h"

namespace {

// The spooler calls of the print loop, answered here: a real job would reach a printer.
struct FakeSpooler {
    static std::vector<const char*> s_calls;
    kvtest::ImportPatch startDoc{"gdi32.dll", "StartDocA", reinterpret_cast<void*>(&StartDoc)};
    kvtest::ImportPatch startPage{"gdi32.dll", "StartPage", reinterpret_cast<void*>(&StartPage)};
    kvtest::ImportPatch endPage{"gdi32.dll", "EndPage", reinterpret_cast<void*>(&EndPage)};
    kvtest::ImportPatch endDoc{"gdi32.dll", "EndDoc", reinterpret_cast<void*>(&EndDoc)};
    kvtest::ImportPatch abortDoc{"gdi32.dll", "AbortDoc", reinterpret_cast<void*>(&AbortDoc)};
    FakeSpooler() {
        s_calls.clear();
        REQUIRE(startDoc.Valid());
        REQUIRE(endDoc.Valid());
        REQUIRE(abortDoc.Valid());
    }
    static int WINAPI StartDoc(HDC, const DOCINFOA*) {
        s_calls.push_back("StartDoc");
        return 7;
    }
    static int WINAPI StartPage(HDC) { return 1; }
    static int WINAPI EndPage(HDC) { return 1; }
    static int WINAPI EndDoc(HDC) {
        s_calls.push_back("EndDoc");
        return 1;
    }
    static int WINAPI AbortDoc(HDC) {
        s_calls.push_back("AbortDoc");
        return 1;
    }
};
std::vector<const char*> FakeSpooler::s_calls;

// Prints three pages on a memory DC; the page named in m_failOn throws.
class CFailingView : public CView {
public:
    UINT m_failOn = 0;
    int m_pages = 0;
    HDC m_printerDC = nullptr;
    void OnDraw(CDC*) override {}
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override {
        pInfo->SetMaxPage(3);
        m_printerDC = ::CreateCompatibleDC(nullptr);
        pInfo->m_pPD->m_pd.hDC = m_printerDC;
        return TRUE;
    }
    void OnPrint(CDC*, CPrintInfo* pInfo) override {
        ++m_pages;
        if (pInfo->m_nCurPage == m_failOn) throw std::runtime_error("out of paper");
    }
};

// A DC that stands in for another, as the preview DC stands in for the printer's.
class CStandInDC : public CDC {
public:
    int m_resets = 0;
    HDC ResetDC(const DEVMODE*) override {
        ++m_resets;
        return m_hDC;
    }
};

}  // namespace

TEST_CASE("a drag context destroyed in the middle of a drag gives its screen DC back") {
    HDC screen = nullptr;
    {
        CDockContext context(nullptr);
        context.InitLoop();
        REQUIRE(context.m_pDC != nullptr);
        screen = context.m_pDC->m_hDC;
        REQUIRE(screen != nullptr);
        CHECK(AfxGetThreadState()->m_pmapHDC->LookupPermanent(screen) == context.m_pDC);
    }
    // Nothing maps the DC to the freed object any more.
    CHECK(AfxGetThreadState()->m_pmapHDC->LookupPermanent(screen) == nullptr);
}

TEST_CASE("the print loop ends or aborts its job on every way out") {
    FakeSpooler spooler;
    CFailingView view;
    SUBCASE("every page printed: the job is ended") {
        view.OnFilePrint();
        CHECK(view.m_pages == 3);
        CHECK(spooler.s_calls == std::vector<const char*>{"StartDoc", "EndDoc"});
    }
    SUBCASE("a page that throws: the job is aborted and the printer DC stays the dialog's") {
        view.m_failOn = 2;
        CHECK_THROWS_AS(view.OnFilePrint(), std::runtime_error);
        CHECK(view.m_pages == 2);
        CHECK(spooler.s_calls == std::vector<const char*>{"StartDoc", "AbortDoc"});
        // The print dialog deleted its DC once; the loop's DC object did not delete it first.
        CHECK(::GetObjectType(view.m_printerDC) == 0);
        CHECK(AfxGetThreadState()->m_pmapHDC->LookupPermanent(view.m_printerDC) == nullptr);
    }
}

TEST_CASE("a DC that stands in for another resets through the base class") {
    CStandInDC standIn;
    REQUIRE(standIn.CreateCompatibleDC(nullptr));
    CDC* dc = &standIn;
    CHECK(dc->ResetDC(nullptr) == standIn.m_hDC);
    CHECK(standIn.m_resets == 1);
}
