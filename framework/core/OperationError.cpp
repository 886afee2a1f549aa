#include "framework/core/OperationError.h"

#include <cstdio>

namespace {

KvMessageBoxHandler& Hook() {
    static KvMessageBoxHandler hook;
    return hook;
}

CString& Caption() {
    static CString caption;
    return caption;
}

int PlainIconKind(UINT nType) {
    switch (nType & MB_ICONMASK) {
        case MB_ICONHAND:
            return 1;
        case MB_ICONEXCLAMATION:
            return 2;
        case MB_ICONASTERISK:
            return 3;
        default:
            return 0;
    }
}

}  // namespace

int KvMessageBoxRequest::ResultOf(LPCSTR buttonCaption) const {
    for (const KvMessageBoxButton& button : buttons)
        if (button.caption == buttonCaption) return button.result;
    return -1;
}

KvMessageBoxHandler AfxSetMessageBoxHandler(KvMessageBoxHandler handler) {
    KvMessageBoxHandler previous = std::move(Hook());
    Hook() = std::move(handler);
    return previous;
}

KvMessageBoxHook AfxSetMessageBoxHook(KvMessageBoxHook hook) {
    KvMessageBoxHandler handler;
    if (hook) {
        handler = [hook](KvMessageBoxRequest& request) {
            return hook(request.owner, request.text, request.caption, request.type);
        };
    }
    KvMessageBoxHandler previous = AfxSetMessageBoxHandler(std::move(handler));
    if (!previous) return KvMessageBoxHook();
    return [previous](HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
        KvMessageBoxRequest request;
        request.owner = owner;
        request.text = text ? text : "";
        request.caption = caption ? caption : "";
        request.type = type;
        request.iconKind = PlainIconKind(type);
        request.buttons = AfxPlainMessageBoxButtons(type);
        return previous(request);
    };
}

bool AfxCallMessageBoxHook(KvMessageBoxRequest& request, int* result) {
    if (!Hook()) return false;
    // Copy, so that a hook may replace itself while it runs.
    KvMessageBoxHandler hook = Hook();
    const int answer = hook(request);
    if (result) *result = answer;
    return true;
}

std::vector<KvMessageBoxButton> AfxPlainMessageBoxButtons(UINT nType) {
    struct Entry {
        LPCSTR caption;
        int result;
    };
    static const Entry kOk[] = {{"OK", IDOK}};
    static const Entry kOkCancel[] = {{"OK", IDOK}, {"Cancel", IDCANCEL}};
    static const Entry kAbortRetryIgnore[] = {{"Abort", IDABORT}, {"Retry", IDRETRY}, {"Ignore", IDIGNORE}};
    static const Entry kYesNoCancel[] = {{"Yes", IDYES}, {"No", IDNO}, {"Cancel", IDCANCEL}};
    static const Entry kYesNo[] = {{"Yes", IDYES}, {"No", IDNO}};
    static const Entry kRetryCancel[] = {{"Retry", IDRETRY}, {"Cancel", IDCANCEL}};
    static const Entry kCancelTryContinue[] = {
        {"Cancel", IDCANCEL}, {"Try Again", IDTRYAGAIN}, {"Continue", IDCONTINUE}};
    const Entry* entries = kOk;
    size_t count = 1;
    switch (nType & MB_TYPEMASK) {
        case MB_OKCANCEL:
            entries = kOkCancel, count = 2;
            break;
        case MB_ABORTRETRYIGNORE:
            entries = kAbortRetryIgnore, count = 3;
            break;
        case MB_YESNOCANCEL:
            entries = kYesNoCancel, count = 3;
            break;
        case MB_YESNO:
            entries = kYesNo, count = 2;
            break;
        case MB_RETRYCANCEL:
            entries = kRetryCancel, count = 2;
            break;
        case MB_CANCELTRYCONTINUE:
            entries = kCancelTryContinue, count = 3;
            break;
        default:
            break;
    }
    const size_t defaultIndex = (nType & MB_DEFMASK) >> 8;
    std::vector<KvMessageBoxButton> buttons;
    for (size_t i = 0; i < count; ++i) {
        KvMessageBoxButton button;
        button.caption = entries[i].caption;
        button.result = entries[i].result;
        button.isDefault = i == (defaultIndex < count ? defaultIndex : 0);
        buttons.push_back(button);
    }
    return buttons;
}

void AfxSetMessageBoxCaption(LPCSTR lpszCaption) {
    Caption() = lpszCaption;
}

CString AfxGetMessageBoxCaption() {
    if (!Caption().IsEmpty()) return Caption();
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return CString();
    CString name(path);
    int slash = name.ReverseFind('\\');
    name = name.Mid(slash + 1);
    int dot = name.ReverseFind('.');
    if (dot > 0) name = name.Left(dot);
    return name;
}

int AfxPlainMessageBox(LPCSTR lpszText, UINT nType, LPCSTR lpszCaption, HWND hWndOwner) {
    CString caption = lpszCaption ? CString(lpszCaption) : AfxGetMessageBoxCaption();
    LPCSTR text = lpszText ? lpszText : "";
    KvMessageBoxRequest request;
    request.owner = hWndOwner;
    request.text = text;
    request.caption = caption;
    request.type = nType;
    request.iconKind = PlainIconKind(nType);
    request.buttons = AfxPlainMessageBoxButtons(nType);
    int answer = 0;
    if (AfxCallMessageBoxHook(request, &answer)) return answer;
    return ::MessageBoxA(hWndOwner, text, caption, nType);
}

void ReportOperationError(int number) {
    CString text;
    text.Format("Error %d", number);
    AfxPlainMessageBox(text, MB_OK | MB_ICONERROR);
}

void TraceOperationException(int number, CException* e) {
    TraceOperationException(number, e ? (LPCSTR)e->GetErrorMessage() : "a null exception");
    if (e) e->Delete();
}

void TraceOperationException(int number, const char* text) {
    CString line;
    line.Format("Error %d: %s\n", number, text && *text ? text : "(no description)");
    ::OutputDebugStringA(line);
}

void ReportOperationError(int number, int step) {
    CString text;
    text.Format("Error %d - Step: %d", number, step);
    AfxPlainMessageBox(text, MB_OK | MB_ICONERROR);
}

KvMessageBoxCapture::KvMessageBoxCapture(int result) : m_result(result) {
    m_previous = AfxSetMessageBoxHandler([this](KvMessageBoxRequest& request) {
        m_boxes.push_back(Box{request.text, request.caption, request.type, request.themed, request.iconKind,
                              request.buttons, request.hasCheck, request.linkTarget});
        request.checked = request.hasCheck && m_checkAnswer;
        if (m_answer) return m_answer(request);
        if (!m_answerCaption.IsEmpty()) {
            const int result = request.ResultOf(m_answerCaption);
            if (result != -1) return result;
        }
        return m_result;
    });
}

KvMessageBoxCapture::~KvMessageBoxCapture() {
    AfxSetMessageBoxHandler(std::move(m_previous));
}
