// The catch-all of the disc lookup's operations: called inside a catch block,
// releases a framework exception and shows "Error <n>".
#pragma once

#include "framework/core.h"

inline void KvDiscCatchAll(int number) {
  try {
    throw;
  } catch (CException* e) {
    if (e) e->Delete();
  } catch (...) {
  }
  ReportOperationError(number);
}
