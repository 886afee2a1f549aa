#include "app/BarEvents.h"

CString CleanFieldText(const CString& text) {
  CString result = text;
  result.Replace("\r\n", "\r");
  result.Remove(kTrackFieldEnd);
  result.Replace('\t', ' ');
  return result;
}

BOOL IsTrackListName(const CString& objectName) { return objectName.Left(10) == CString("Track List"); }

int CountTrackRecords(const CString& text) {
  int ends = 0;
  for (int i = 0; i < text.GetLength(); ++i)
    if (text[i] == kTrackFieldEnd) ++ends;
  return ends / 3;
}

CString ResizeTrackList(const CString& text, int newCount, const CString& trackNameSuffix) {
  const int count = CountTrackRecords(text);
  if (newCount == count || newCount < 1) return text;
  CString result = text;
  if (newCount > count) {
    for (int i = count + 1; i <= newCount; ++i) {
      CString record;
      record.Format("%d. \x08Track %d%s\x08 0:%.2d\x08", i, i, (LPCSTR)trackNameSuffix, i);
      result += record;
    }
    return result;
  }
  // Cut just after the terminator that ends record newCount (its 3 x newCount-th 0x08).
  int ends = 0;
  for (int i = 0; i < result.GetLength(); ++i) {
    if (result[i] != kTrackFieldEnd) continue;
    if (++ends == newCount * 3) return result.Left(i + 1);
  }
  return result;
}

CString PageObjectName(int sideIndex) {
  CString name;
  name.Format("Page %d", sideIndex);
  return name;
}
