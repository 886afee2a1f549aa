// ThemedControl: the set-up the themed dialog controls share. A control is set up when an
// existing window is subclassed (a dialog's control) and again when a window is made through
// Create, after the base class's creation; each entry point runs inside the control's own error
// guard, with the number the control gives.
#pragma once

#include <windows.h>

#include "framework/Win.h"
#include "framework/core/OperationError.h"

template <class Base>
class ThemedControl : public Base {
public:
    void PreSubclassWindow() override {
        GuardOperation(m_subclassError, [&] { InitControl(); });
        Base::PreSubclassWindow();
    }

    // WM_CREATE (the control's message map names it).
    int OnCreate(LPCREATESTRUCT createStruct) {
        int result = 0;
        GuardOperation(m_createError, [&] {
            result = Base::OnCreate(createStruct);
            if (result == -1) return;
            PrepareCreatedWindow();
            InitControl();
            result = 0;
        });
        return result;
    }

protected:
    ThemedControl(int subclassError, int createError)
        : m_subclassError(subclassError), m_createError(createError) {}

    // Fonts, glass mode and theme for the control's window.
    virtual void InitControl() = 0;
    // Undoes what the set-up at subclassing did that a window made through Create must not keep.
    virtual void PrepareCreatedWindow() {}

private:
    int m_subclassError;
    int m_createError;
};
