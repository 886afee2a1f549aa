#include <doctest.h>

#include <cstdlib>
#include <cstring>

#include "framework/Core.h"

TEST_CASE("CString extraction clamps positions and counts") {
    CString s("Korvanelle");
    CHECK(s.GetLength() == 10);
    CHECK(s.Left(4) == "Korv");
    CHECK(s.Left(-1) == "");
    CHECK(s.Left(99) == "Korvanelle");
    CHECK(s.Right(5) == "nelle");
    CHECK(s.Right(99) == "Korvanelle");
    CHECK(s.Mid(4) == "anelle");
    CHECK(s.Mid(4, 2) == "an");
    CHECK(s.Mid(-3, 2) == "Ko");
    CHECK(s.Mid(8, 10) == "le");
    CHECK(s.Mid(20) == "");
    CHECK(s.Mid(2, -1) == "");
    CHECK(s.GetAt(0) == 'K');
    CHECK(s[9] == 'e');
    CHECK(s.SpanIncluding("Kor") == "Kor");
    CHECK(s.SpanExcluding("n") == "Korva");
}

TEST_CASE("CString searching and replacing") {
    CString s("Disc 1 - Disc 2");
    CHECK(s.Find('D') == 0);
    CHECK(s.Find('D', 1) == 9);
    CHECK(s.Find("Disc", 1) == 9);
    CHECK(s.Find("disc") == -1);
    CHECK(s.Find('x') == -1);
    CHECK(s.Find('D', 40) == -1);
    CHECK(s.Find("") == 0);
    CHECK(s.ReverseFind(' ') == 13);
    CHECK(s.FindOneOf("-2") == 7);
    CHECK(s.Replace("Disc", "Side") == 2);
    CHECK(s == "Side 1 - Side 2");
    CHECK(s.Replace("", "x") == 0);
    CHECK(s.Replace(' ', '_') == 4);
    CHECK(s == "Side_1_-_Side_2");
    CHECK(s.Remove('_') == 4);
    CHECK(s == "Side1-Side2");
    s.Insert(0, '[');
    s.Insert(99, "]");
    CHECK(s == "[Side1-Side2]");
    s.Delete(1, 5);
    CHECK(s == "[-Side2]");
    CString aa("aaaa");
    CHECK(aa.Replace("aa", "a") == 2);
    CHECK(aa == "aa");
}

TEST_CASE("CString case, trimming and comparison") {
    CString s(" \t Mixed Case \xC4\r\n");
    s.Trim();
    CHECK(s == "Mixed Case \xC4");
    CHECK(CString(s).MakeUpper() == "MIXED CASE \xC4");  // only ASCII letters change
    CHECK(CString(s).MakeLower() == "mixed case \xC4");
    CHECK(CString("xxabcxx").TrimLeft('x') == "abcxx");
    CHECK(CString("xxabcxy").TrimRight("xy") == "xxabc");
    CHECK(CString("  a  ").TrimLeft() == "a  ");
    CHECK(CString("  a  ").TrimRight() == "  a");
    CHECK(CString("abc").Compare("abd") < 0);
    CHECK(CString("abc").CompareNoCase("ABC") == 0);
    CHECK(CString("Page").CompareNoCase("page2") < 0);
    CHECK(CString("b") > "a");
    CHECK("a" < CString("b"));
    CHECK(CString("Front") == CString("Front"));
    CHECK(CString("Front") != "front");
    CString joined = CString("A") + "-" + CString('B', 2) + 'c';
    CHECK(joined == "A-BBc");
    CHECK(joined.IsEmpty() == false);
    joined.Empty();
    CHECK(joined.IsEmpty());
    CString fromNull((LPCSTR) nullptr);
    CHECK(fromNull.IsEmpty());
}

TEST_CASE("CString formatting, buffers and numbers") {
    CString s;
    s.Format("%d-%s-%.2f", 507, "kvl", 1.005f);
    CHECK(s == "507-kvl-1.00");
    s.AppendFormat("/%05d", 42);
    CHECK(s == "507-kvl-1.00/00042");
    CString big;
    big.Format("%s", std::string(5000, 'z').c_str());
    CHECK(big.GetLength() == 5000);

    CString b("abc");
    char* p = b.GetBuffer(10);
    std::strcpy(p, "hello");
    b.ReleaseBuffer();
    CHECK(b == "hello");
    CHECK(b.GetLength() == 5);
    p = b.GetBuffer(3);
    p[2] = 'L';
    b.ReleaseBuffer(4);
    CHECK(b == "heLl");
    p = b.GetBuffer(100);
    b.ReleaseBuffer();  // untouched buffer: the old text
    CHECK(b == "heLl");
    p = b.GetBufferSetLength(2);
    CHECK(b == "he");

    CHECK(std::atoi(CString("  -12abc")) == -12);
    CHECK(std::atoi(CString("x1")) == 0);
    CString n;
    n.Format("%d", -2147483647 - 1);
    CHECK(n == "-2147483648");

    CString embedded("a\0b", 3);
    CHECK(embedded.GetLength() == 3);
}

TEST_CASE("CString arrays keep copies") {
    CStringArray a;
    CString s("first");
    a.Add(s);
    s = "changed";
    a.Add("second");
    a.InsertAt(1, "middle");
    CHECK(a.GetSize() == 3);
    CHECK(a[0] == "first");
    CHECK(a[1] == "middle");
    CHECK(a.GetAt(2) == "second");
    a.RemoveAt(0, 2);
    CHECK(a.GetSize() == 1);
    a.SetAtGrow(3, "fourth");
    CHECK(a.GetSize() == 4);
    CHECK(a[2].IsEmpty());
    CStringArray copy;
    copy.Copy(a);
    copy.Append(a);
    CHECK(copy.GetSize() == 8);
    CHECK(copy.GetUpperBound() == 7);
}
