// The catch-all of the disc lookup's operations: called inside a catch block,
// releases a framework exception and shows "Error <n>". New code guards an operation with
// GuardOperation or GuardOperationOr (framework/core/OperationError.h) instead.
#pragma once

#include "framework/Core.h"

inline void KvDiscCatchAll(int number) {
    try {
        throw;
    } catch (CException* e) {
        if (e) e->Delete();
    } catch (...) {}
    ReportOperationError(number);
}
